#pragma once

#include <QSettings>
#include <memory>

// What the window remembers between runs: $XDG_CONFIG_HOME/tarvik/tarvik.ini.
inline std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tarvik"),
                                       QStringLiteral("tarvik"));
}
