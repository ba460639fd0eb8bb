#include "app/WorkEndNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";

}  // namespace

std::optional<DesktopNotice> NoticeFor(const EndedWork& work) {
    if (work.windowActive || work.elapsedMs <= kNoticeAfterMs) return std::nullopt;
    DesktopNotice notice;
    notice.summary = QStringLiteral("%1 has ended").arg(work.what.isEmpty() ? QStringLiteral("Tarvik's work") : work.what);
    const QString files = work.files == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(work.files);
    notice.body = work.failures == 0
                      ? QStringLiteral("%1; nothing failed.").arg(files)
                      : QStringLiteral("%1; %2 problem(s) reported in Tarvik.").arg(files).arg(work.failures);
    return notice;
}

void SendDesktopNotice(const DesktopNotice& notice) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(QString::fromLatin1(kService)))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService),
                                                       QStringLiteral("/org/freedesktop/Notifications"),
                                                       QString::fromLatin1(kService), QStringLiteral("Notify"));
    call << QStringLiteral("Tarvik") << 0u << QStringLiteral("tarvik") << notice.summary << notice.body
         << QStringList() << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("tarvik")}} << -1;
    bus.asyncCall(call);
}
