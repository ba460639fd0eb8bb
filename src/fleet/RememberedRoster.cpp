#include "fleet/RememberedRoster.h"

#include <QSettings>
#include <QStringList>

namespace {

constexpr char kRosterKey[] = "roster/terminals";
// A port is named as the window names it: COM3, TQ-3100-0001.
constexpr qsizetype kMaxPortName = 64;

}  // namespace

std::vector<RememberedTerminal> LoadRoster(const QSettings& settings) {
    std::vector<RememberedTerminal> terminals;
    if (settings.status() != QSettings::NoError) return terminals;
    // Each entry is "PORT BAUDCODE", so a hand-edited or damaged file cannot give odd types.
    for (const QString& entry : settings.value(kRosterKey).toStringList()) {
        if (terminals.size() == kMaxRemembered) break;
        const QStringList fields = entry.split(u' ', Qt::SkipEmptyParts);
        bool number = false;
        const int baudCode = fields.value(1).toInt(&number);
        if (fields.size() != 2 || !number || baudCode < 0 || baudCode > 6) continue;
        const QString& port = fields[0];
        if (port.size() > kMaxPortName) continue;
        const bool known = std::any_of(terminals.begin(), terminals.end(),
                                       [&](const RememberedTerminal& other) { return other.port == port; });
        if (!known) terminals.push_back({port, baudCode});
    }
    return terminals;
}

void SaveRoster(QSettings& settings, const std::vector<RememberedTerminal>& terminals) {
    QStringList entries;
    for (const RememberedTerminal& terminal : terminals) {
        entries << QStringLiteral("%1 %2").arg(terminal.port).arg(terminal.baudCode);
    }
    if (entries.isEmpty()) {
        settings.remove(kRosterKey);
    } else {
        settings.setValue(kRosterKey, entries);
    }
    settings.sync();
}
