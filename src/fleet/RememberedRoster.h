#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class QSettings;

// A roster terminal as it is remembered between runs: where it answers and how.
struct RememberedTerminal {
    QString port;
    int32_t baudCode = 0;
};

// No more terminals are remembered than a roster holds.
inline constexpr size_t kMaxRemembered = 256;

// The remembered roster in `settings`; empty when there is none, or when the settings cannot
// be read. Entries that are no port are skipped and the list is bounded.
std::vector<RememberedTerminal> LoadRoster(const QSettings& settings);
void SaveRoster(QSettings& settings, const std::vector<RememberedTerminal>& terminals);
