#pragma once

#include "link/ConnectionSettings.h"
#include "link/TerminalIdentity.h"

#include <QJsonObject>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

class TerminalLibrary;

// A drive's space as the terminal reports it.
struct DriveSpace {
    QString drive;  // "C:"
    int32_t capacityKB = 0;
    int32_t freeKB = 0;
};

// What the fleet table shows of one terminal: who it is, what is installed, how full it is.
struct TerminalStatus {
    bool identified = false;  // false: it answered but its identity could not be read
    TerminalIdentity identity;
    QStringList projects;  // installed projects, by name, sorted
    std::vector<DriveSpace> drives;
};

// Reads the status of the terminal of `record` over one link; none when it does not answer.
// A drive that cannot be read is left out, as the terminal tree leaves it out.
std::optional<TerminalStatus> ReadTerminalStatus(TerminalLibrary& library, const ConnectionSettings& record);

// The status as a worker's result values, and back. Values from outside are bounded.
QJsonObject StatusValues(const TerminalStatus& status);
TerminalStatus StatusFromValues(const QJsonObject& values);
