#include "platform/LockKeys.h"

#include <QDir>
#include <QFile>

namespace {

// True when any keyboard's light of that kind is on.
bool AnyLightOn(const char* suffix) {
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList names = leds.entryList({QStringLiteral("*::") + suffix}, QDir::AllEntries);
    for (const QString& name : names) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed() != "0") {
            return true;
        }
    }
    return false;
}

}  // namespace

LockKeys CurrentLockKeys() {
    return {AnyLightOn("capslock"), AnyLightOn("numlock"), AnyLightOn("scrolllock")};
}
