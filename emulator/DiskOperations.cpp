#include "Codes.h"
#include "DriveTree.h"
#include "Operations.h"
#include "Session.h"
#include "UsageTracker.h"

#include <system_error>
#include <vector>

using namespace emu;

namespace {

// A drive is named by its root alone: "C:" or "C:\".
int32_t OpenWholeDrive(LocatedEntry& disk, const char* text) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFolderParts, disk.path); rc != kOk) {
        return rc;
    }
    if (!disk.path.parts.empty()) return kInvalidPath;
    return OpenDrive(*disk.terminal, disk.path, true, disk.root);
}

}  // namespace

int32_t TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB, int32_t* other,
                   int32_t* freeKB) {
    LocatedEntry disk;
    if (const int32_t rc = BeginOperation(handle, "TpDiskInfo", disk.terminal); rc != kOk) {
        return rc;
    }
    if (capacityKB == nullptr || other == nullptr || freeKB == nullptr) return kBadParameter;
    if (const int32_t rc = OpenWholeDrive(disk, drive); rc != kOk) return rc;

    const Terminal& terminal = *disk.terminal;
    const char letter = disk.path.drive;
    *capacityKB = terminal.CapacityKB(letter);
    *other = terminal.IsUnformatted(letter) ? 0 : CurrentUsage(disk.root).files;
    *freeKB = FreeKB(terminal, letter, disk.root);
    return kOk;
}

int32_t TpFormatDisk(uint32_t handle, const char* drive) {
    LocatedEntry disk;
    if (const int32_t rc = BeginOperation(handle, "TpFormatDisk", disk.terminal); rc != kOk) {
        return rc;
    }
    if (const int32_t rc = OpenWholeDrive(disk, drive); rc != kOk) return rc;

    // remove_all takes a symbolic link away itself and never what it points to.
    std::error_code error;
    std::vector<std::filesystem::path> contents;
    for (const auto& entry : std::filesystem::directory_iterator(disk.root, error)) {
        contents.push_back(entry.path());
    }
    for (const auto& entry : contents) {
        if (!error) std::filesystem::remove_all(entry, error);
    }
    if (error || !disk.terminal->MarkFormatted(disk.path.drive)) return kFormatFailed;
    return kOk;
}
