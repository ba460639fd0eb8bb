#pragma once

#include "link/ConnectionSettings.h"

#include <QString>
#include <memory>
#include <vector>

struct Services;

// The open-file dialog's filter for firmware images, in both modes.
inline constexpr char kFirmwareFileFilter[] = "Firmware Files(*.bin) | *.bin||";
inline constexpr char kFirmwareFileSuffix[] = ".bin";

inline constexpr char kUpgradeCompleteText[] =
    "Upgrade complete!\r\nPress any terminal key to restart Terminal!";

// Refuses, with a message, a path that names a folder, a pipe, a device or a socket: no
// terminal is to wait on it. A missing file is the terminal module's to report.
bool RefuseNonFileImage(const Services& services, const QString& imagePath);

// How a terminal record is named in the F/W Upgrade dialog's list.
QString UpgradeItemText(const ConnectionSettings& record);

// File Mode: asks for an image and upgrades the terminal of `settings`. Once an image is
// chosen, the upgrade is journaled; each checked terminal of a Project Mode run is too.
void UpgradeFileModeTerminal(const Services& services, const ConnectionSettings& settings);

// Project Mode: upgrades every record of `terminals` whose flag in `checked` is set, reporting
// each failure on its own and one completion message for the run. Answers how many were
// upgraded.
int UpgradeCheckedTerminals(const Services& services,
                             const std::vector<std::unique_ptr<ConnectionSettings>>& terminals,
                             const std::vector<bool>& checked, const QString& imagePath);
