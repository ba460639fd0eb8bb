#include "Codes.h"
#include "DirectoryRecord.h"
#include "DriveTree.h"
#include "Operations.h"
#include "Session.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <limits>

using namespace emu;

namespace {

// Parses a folder path and looks it up on its drive. A folder to be made must have a name
// without an extension, checked with the other names before the drive.
int32_t LocateFolder(LocatedEntry& folder, const char* text, bool toBeMade = false) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFolderParts, folder.path); rc != kOk) {
        return rc;
    }
    if (toBeMade && !folder.path.parts.empty() && !IsFolderName(folder.path.parts.back())) {
        return kIllegalName;
    }
    if (const int32_t rc = OpenDrive(*folder.terminal, folder.path, false, folder.root);
        rc != kOk) {
        return rc;
    }
    folder.lookup = Resolve(folder.root, folder.path.parts);
    return kOk;
}

}  // namespace

int32_t TpListDir(uint32_t handle, const char* folder, int32_t* count, uint8_t* buffer,
                  int32_t* bufferSize) {
    LocatedEntry listed;
    if (const int32_t rc = BeginOperation(handle, "TpListDir", listed.terminal); rc != kOk) {
        return rc;
    }
    if (count == nullptr || buffer == nullptr || bufferSize == nullptr ||
        *bufferSize < static_cast<int32_t>(kRecordSize)) {
        return kBadParameter;
    }
    if (const int32_t rc = LocateFolder(listed, folder); rc != kOk) return rc;
    const std::optional<DriveEntry>& found = listed.lookup.entry;
    if (!found || !found->isFolder) return kFileMissing;

    const std::vector<DriveEntry> entries = VisibleEntries(found->path, listed.path.parts.size());
    // Beyond what the buffer holds only the count tells of more entries.
    const std::size_t room =
        std::min(static_cast<std::size_t>(*bufferSize) / kRecordSize, kMaxRecords);
    const std::size_t written = std::min(entries.size(), room);
    for (std::size_t i = 0; i < written; ++i) EncodeRecord(entries[i], buffer + i * kRecordSize);
    *count = static_cast<int32_t>(
        std::min<std::size_t>(entries.size(), std::numeric_limits<int32_t>::max()));
    return kOk;
}

int32_t TpMakeDir(uint32_t handle, const char* folder) {
    LocatedEntry dir;
    if (const int32_t rc = BeginOperation(handle, "TpMakeDir", dir.terminal); rc != kOk) return rc;
    if (const int32_t rc = LocateFolder(dir, folder, true); rc != kOk) return rc;
    if (!dir.lookup.parentFound) return kInvalidPath;
    if (dir.lookup.entry || dir.path.parts.empty()) return kMakeFolderFailed;
    if (IsFolderFull(dir.lookup, dir.path.parts.size() - 1)) return kNoSpace;

    const std::filesystem::path made = dir.lookup.parent / FoldCase(dir.path.parts.back());
    if (::mkdir(made.c_str(), 0777) != 0) {
        // An entry the terminal cannot see may hold the name.
        return errno == EEXIST ? kMakeFolderFailed : kFunctionFailed;
    }
    return kOk;
}

int32_t TpRemoveDir(uint32_t handle, const char* folder) {
    LocatedEntry dir;
    if (const int32_t rc = BeginOperation(handle, "TpRemoveDir", dir.terminal); rc != kOk) {
        return rc;
    }
    if (const int32_t rc = LocateFolder(dir, folder); rc != kOk) return rc;
    if (dir.path.parts.empty()) return kInvalidPath;
    const std::optional<DriveEntry>& found = dir.lookup.entry;
    if (!found || !found->isFolder) return kFileMissing;

    if (::rmdir(found->path.c_str()) != 0) {
        return (errno == ENOTEMPTY || errno == EEXIST) ? kRemoveFolderFailed : kFunctionFailed;
    }
    return kOk;
}
