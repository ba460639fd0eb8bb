#include "Codes.h"
#include "DriveTree.h"
#include "FileIo.h"
#include "Operations.h"
#include "Session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

using namespace emu;

namespace {

// Parses the path of a file or folder below a drive's root and looks it up.
int32_t LocateEntry(const Terminal& terminal, const char* text, TerminalPath& path,
                    std::filesystem::path& root, Lookup& lookup) {
    if (const int32_t rc = ParseTerminalPath(text, kMaxFileParts, path); rc != kOk) return rc;
    if (path.parts.empty()) return kInvalidPath;
    if (const int32_t rc = OpenDrive(terminal, path, false, root); rc != kOk) return rc;
    lookup = Resolve(root, path.parts);
    return kOk;
}

// Closes the descriptor when the operation ends, however it ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

int32_t TpRename(uint32_t handle, const char* oldPath, const char* newName) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpRename", terminal); rc != kOk) return rc;
    if (newName == nullptr) return kBadParameter;
    TerminalPath path;
    std::filesystem::path root;
    Lookup lookup;
    if (const int32_t rc = LocateEntry(*terminal, oldPath, path, root, lookup); rc != kOk) {
        return rc;
    }
    if (!IsShortName(newName)) return kIllegalName;
    if (!lookup.entry) return kFileMissing;

    const std::filesystem::path target = lookup.parent / newName;
    if (target == lookup.entry->path) return kOk;
    std::vector<std::string> renamed = path.parts;
    renamed.back() = newName;
    const Lookup clash = Resolve(root, renamed);
    if (clash.entry && clash.entry->path != lookup.entry->path) return kNameExists;
    // No-replace, so an entry the terminal cannot see is never overwritten either.
    if (::renameat2(AT_FDCWD, lookup.entry->path.c_str(), AT_FDCWD, target.c_str(),
                    RENAME_NOREPLACE) != 0) {
        return errno == EEXIST ? kNameExists : kFunctionFailed;
    }
    return kOk;
}

int32_t TpDeleteFile(uint32_t handle, const char* path) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpDeleteFile", terminal); rc != kOk) return rc;
    TerminalPath parsed;
    std::filesystem::path root;
    Lookup lookup;
    if (const int32_t rc = LocateEntry(*terminal, path, parsed, root, lookup); rc != kOk) {
        return rc;
    }
    if (!lookup.entry) return kFileMissing;
    if (lookup.entry->isFolder || ::unlink(lookup.entry->path.c_str()) != 0) return kDeleteFailed;
    return kOk;
}

int32_t TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath, int32_t) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpGetFile", terminal); rc != kOk) return rc;
    if (pcPath == nullptr) return kBadParameter;
    TerminalPath path;
    std::filesystem::path root;
    Lookup lookup;
    if (const int32_t rc = LocateEntry(*terminal, terminalPath, path, root, lookup); rc != kOk) {
        return rc;
    }
    if (!lookup.entry || lookup.entry->isFolder) return kFileMissing;

    const FileDescriptor source(
        ::open(lookup.entry->path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (source.Get() < 0) return kOpenFailed;
    if (*pcPath == '\0') return kPcFileFailed;
    const bool written =
        WriteAtomically(pcPath, [&](int target) { return CopyAll(source.Get(), target); });
    return written ? kOk : kPcFileFailed;
}

int32_t TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath, int32_t flagA,
                  int32_t) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpPutFile", terminal); rc != kOk) return rc;
    if (pcPath == nullptr) return kBadParameter;
    TerminalPath path;
    std::filesystem::path root;
    Lookup lookup;
    if (const int32_t rc = LocateEntry(*terminal, terminalPath, path, root, lookup); rc != kOk) {
        return rc;
    }

    const FileDescriptor source(::open(pcPath, O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (source.Get() < 0 || ::fstat(source.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return kPcFileFailed;
    }
    if (!lookup.parentFound) return kInvalidPath;
    if (lookup.entry && (lookup.entry->isFolder || flagA == 0)) return kFileExists;

    const std::uint64_t replaced = lookup.entry ? lookup.entry->size : 0;
    const std::uint64_t used =
        MeasureDrive(root).bytes - replaced + static_cast<std::uint64_t>(info.st_size);
    if (KilobytesFor(used) > static_cast<std::uint64_t>(terminal->CapacityKB(path.drive))) {
        return kNoSpace;
    }

    // A replaced file keeps the name it had, as on the terminal's own file system.
    const std::filesystem::path target =
        lookup.entry ? lookup.entry->path : lookup.parent / path.parts.back();
    bool readFailed = false;
    const bool written = WriteAtomically(target, [&](int fd) {
        char chunk[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(source.Get(), chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) readFailed = true;
            if (got <= 0) return got == 0;
            if (!WriteAll(fd, chunk, static_cast<std::size_t>(got))) return false;
        }
    });
    if (written) return kOk;
    return readFailed ? kPcFileFailed : kFunctionFailed;
}
