#include "Codes.h"
#include "DriveTree.h"
#include "Operations.h"
#include "Session.h"

#include <system_error>
#include <vector>

using namespace emu;

namespace {

// A drive is named by its root alone: "C:" or "C:\".
int32_t OpenWholeDrive(const Terminal& terminal, const char* text, TerminalPath& path,
                       std::filesystem::path& root) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFolderParts, path); rc != kOk) return rc;
    if (!path.parts.empty()) return kInvalidPath;
    return OpenDrive(terminal, path, true, root);
}

}  // namespace

int32_t TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB, int32_t* other,
                   int32_t* freeKB) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpDiskInfo", terminal); rc != kOk) return rc;
    if (capacityKB == nullptr || other == nullptr || freeKB == nullptr) return kBadParameter;
    TerminalPath path;
    std::filesystem::path root;
    if (const int32_t rc = OpenWholeDrive(*terminal, drive, path, root); rc != kOk) return rc;

    *capacityKB = terminal->CapacityKB(path.drive);
    *other = terminal->IsUnformatted(path.drive) ? 0 : MeasureDrive(root).files;
    *freeKB = FreeKB(*terminal, path.drive, root);
    return kOk;
}

int32_t TpFormatDisk(uint32_t handle, const char* drive) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpFormatDisk", terminal); rc != kOk) return rc;
    TerminalPath path;
    std::filesystem::path root;
    if (const int32_t rc = OpenWholeDrive(*terminal, drive, path, root); rc != kOk) return rc;

    // remove_all takes a symbolic link away itself and never what it points to.
    std::error_code error;
    std::vector<std::filesystem::path> contents;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        contents.push_back(entry.path());
    }
    for (const auto& entry : contents) {
        if (!error) std::filesystem::remove_all(entry, error);
    }
    if (error || !terminal->MarkFormatted(path.drive)) return kFormatFailed;
    return kOk;
}
