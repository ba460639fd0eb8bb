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

// Parses a folder path and looks it up on its drive.
int32_t LocateFolder(const Terminal& terminal, const char* text, TerminalPath& path,
                     Lookup& lookup) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFolderParts, path); rc != kOk) return rc;
    std::filesystem::path root;
    if (const int32_t rc = OpenDrive(terminal, path, false, root); rc != kOk) return rc;
    lookup = Resolve(root, path.parts);
    return kOk;
}

}  // namespace

int32_t TpListDir(uint32_t handle, const char* folder, int32_t* count, uint8_t* buffer,
                  int32_t* bufferSize) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpListDir", terminal); rc != kOk) return rc;
    if (count == nullptr || buffer == nullptr || bufferSize == nullptr ||
        *bufferSize < static_cast<int32_t>(kRecordSize)) {
        return kBadParameter;
    }
    TerminalPath path;
    Lookup lookup;
    if (const int32_t rc = LocateFolder(*terminal, folder, path, lookup); rc != kOk) return rc;
    if (!lookup.entry || !lookup.entry->isFolder) return kFileMissing;

    const std::vector<DriveEntry> entries = VisibleEntries(lookup.entry->path, path.parts.size());
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
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpMakeDir", terminal); rc != kOk) return rc;
    TerminalPath path;
    Lookup lookup;
    if (const int32_t rc = LocateFolder(*terminal, folder, path, lookup); rc != kOk) return rc;
    if (!lookup.parentFound) return kInvalidPath;
    if (lookup.entry || path.parts.empty()) return kMakeFolderFailed;

    const std::filesystem::path made = lookup.parent / path.parts.back();
    if (::mkdir(made.c_str(), 0777) != 0) {
        // An entry the terminal cannot see may hold the name.
        return errno == EEXIST ? kMakeFolderFailed : kFunctionFailed;
    }
    return kOk;
}

int32_t TpRemoveDir(uint32_t handle, const char* folder) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpRemoveDir", terminal); rc != kOk) return rc;
    TerminalPath path;
    Lookup lookup;
    if (const int32_t rc = LocateFolder(*terminal, folder, path, lookup); rc != kOk) return rc;
    if (path.parts.empty()) return kInvalidPath;
    if (!lookup.entry || !lookup.entry->isFolder) return kFileMissing;

    if (::rmdir(lookup.entry->path.c_str()) != 0) {
        return (errno == ENOTEMPTY || errno == EEXIST) ? kRemoveFolderFailed : kFunctionFailed;
    }
    return kOk;
}
