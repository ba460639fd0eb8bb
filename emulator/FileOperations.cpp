#include "Codes.h"
#include "DriveTree.h"
#include "FileIo.h"
#include "Operations.h"
#include "Session.h"
#include "UsageTracker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

using namespace emu;

namespace {

// Parses the path of a file or folder below a drive's root and looks it up.
int32_t LocateEntry(LocatedEntry& entry, const char* text) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFileParts, entry.path); rc != kOk) {
        return rc;
    }
    if (entry.path.parts.empty()) return kInvalidPath;
    if (const int32_t rc = OpenDrive(*entry.terminal, entry.path, false, entry.root); rc != kOk) {
        return rc;
    }
    entry.lookup = Resolve(entry.root, entry.path.parts);
    return kOk;
}

}  // namespace

int32_t TpRename(uint32_t handle, const char* oldPath, const char* newName) {
    LocatedEntry old;
    if (const int32_t rc = BeginOperation(handle, "TpRename", old.terminal); rc != kOk) return rc;
    if (newName == nullptr) return kBadParameter;
    if (const int32_t rc = LocateEntry(old, oldPath); rc != kOk) return rc;
    if (!IsShortName(newName)) return kIllegalName;
    if (!old.lookup.entry) return kFileMissing;
    if (old.lookup.entry->isFolder && !IsFolderName(newName)) return kIllegalName;

    const std::filesystem::path& source = old.lookup.entry->path;
    const std::filesystem::path target = old.lookup.parent / FoldCase(newName);
    if (target == source) return kOk;
    std::vector<std::string> renamed = old.path.parts;
    renamed.back() = newName;
    const Lookup clash = Resolve(old.root, renamed);
    if (clash.entry && clash.entry->path != source) return kNameExists;
    // No-replace, so an entry the terminal cannot see is never overwritten either.
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        return errno == EEXIST ? kNameExists : kFunctionFailed;
    }
    return kOk;
}

int32_t TpDeleteFile(uint32_t handle, const char* path) {
    LocatedEntry file;
    if (const int32_t rc = BeginOperation(handle, "TpDeleteFile", file.terminal); rc != kOk) {
        return rc;
    }
    if (const int32_t rc = LocateEntry(file, path); rc != kOk) return rc;
    const std::optional<DriveEntry>& found = file.lookup.entry;
    if (!found) return kFileMissing;
    if (found->isFolder || ::unlink(found->path.c_str()) != 0) return kDeleteFailed;
    return kOk;
}

int32_t TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath, int32_t) {
    LocatedEntry file;
    if (const int32_t rc = BeginOperation(handle, "TpGetFile", file.terminal); rc != kOk) return rc;
    if (pcPath == nullptr) return kBadParameter;
    if (const int32_t rc = LocateEntry(file, terminalPath); rc != kOk) return rc;
    const std::optional<DriveEntry>& found = file.lookup.entry;
    if (!found || found->isFolder) return kFileMissing;

    const FileDescriptor source = OpenRegularFile(found->path, false);
    if (source.Get() < 0) return kOpenFailed;
    // A pipe or device is never written to; a link is replaced, not written through.
    if (*pcPath == '\0' || !IsReplaceableByFile(pcPath)) return kPcFileFailed;
    const LinePace pace(file.terminal->RateBytesPerSecond());
    const bool written = WriteAtomically(pcPath, [&](int target) {
        return CopyAll(source.Get(), target, pace) == CopyResult::kDone;
    });
    return written ? kOk : kPcFileFailed;
}

int32_t TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath, int32_t flagA,
                  int32_t) {
    LocatedEntry file;
    if (const int32_t rc = BeginOperation(handle, "TpPutFile", file.terminal); rc != kOk) return rc;
    if (pcPath == nullptr) return kBadParameter;
    if (const int32_t rc = LocateEntry(file, terminalPath); rc != kOk) return rc;
    const Lookup& lookup = file.lookup;

    struct stat info {};
    const FileDescriptor source = OpenRegularFile(pcPath, true, &info);
    if (source.Get() < 0) return kPcFileFailed;
    if (!lookup.parentFound) return kInvalidPath;
    if (lookup.entry && (lookup.entry->isFolder || flagA == 0)) return kFileExists;
    if (!lookup.entry && IsFolderFull(lookup, file.path.parts.size() - 1)) return kNoSpace;

    const std::uint64_t replaced = lookup.entry ? lookup.entry->size : 0;
    const std::uint64_t used =
        CurrentUsage(file.root).bytes - replaced + static_cast<std::uint64_t>(info.st_size);
    if (KilobytesFor(used) >
        static_cast<std::uint64_t>(file.terminal->CapacityKB(file.path.drive))) {
        return kNoSpace;
    }

    // A replaced file keeps the name it had; a new one gets the terminal's upper case.
    const std::filesystem::path target =
        lookup.entry ? lookup.entry->path : lookup.parent / FoldCase(file.path.parts.back());
    const LinePace pace(file.terminal->RateBytesPerSecond());
    CopyResult copied = CopyResult::kDone;
    // The bench stands for the terminal's memory, which need not outlast a crash of the PC;
    // a sync a file would cost more than the copy.
    const bool written = WriteAtomically(
        target,
        [&](int fd) {
            copied = CopyAll(source.Get(), fd, pace);
            return copied == CopyResult::kDone;
        },
        false);
    if (written) return kOk;
    return copied == CopyResult::kReadFailed ? kPcFileFailed : kFunctionFailed;
}
