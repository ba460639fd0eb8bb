#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <random>
#include <string>
#include <thread>

namespace emu {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

FileDescriptor OpenRegularFile(const std::filesystem::path& path, bool followLinks,
                               struct stat* status) {
    struct stat info {};
    const int found = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (found != 0 || !S_ISREG(info.st_mode)) return FileDescriptor{};
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    FileDescriptor file(::open(path.c_str(), flags));
    // The entry may have been swapped for another kind since it was looked at.
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileDescriptor{};
    }
    if (status != nullptr) *status = info;
    return file;
}

bool IsReplaceableByFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
    return S_ISREG(info.st_mode) || S_ISLNK(info.st_mode);
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

LinePace::LinePace(std::uint64_t bytesPerSecond)
    : rate_(bytesPerSecond), start_(std::chrono::steady_clock::now()) {}

std::size_t LinePace::Slice() const {
    constexpr std::size_t kChunk = 64 * 1024;
    if (rate_ == 0) return kChunk;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(rate_ / 10, 1, kChunk));
}

void LinePace::Wait(std::uint64_t moved) const {
    if (rate_ == 0) return;
    const std::chrono::duration<double> due(static_cast<double>(moved) /
                                            static_cast<double>(rate_));
    std::this_thread::sleep_until(start_ + std::chrono::ceil<std::chrono::nanoseconds>(due));
}

CopyResult CopyAll(int from, int to, const LinePace& pace) {
    char chunk[64 * 1024];
    const std::size_t slice = std::min(pace.Slice(), sizeof chunk);
    std::uint64_t moved = 0;
    for (;;) {
        const ssize_t got = ::read(from, chunk, slice);
        if (got == 0) return CopyResult::kDone;
        if (got < 0) {
            if (errno == EINTR) continue;
            return CopyResult::kReadFailed;
        }
        if (!WriteAll(to, chunk, static_cast<std::size_t>(got))) return CopyResult::kWriteFailed;
        moved += static_cast<std::uint64_t>(got);
        pace.Wait(moved);
    }
}

namespace {

// A dot name is never an 8.3 name, so a temporary file stays invisible on a terminal drive.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& created) {
    static std::minstd_rand random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended, not concatenated: GCC 12 at -O3 warns wrongly about "." + name.
        std::string name = ".";
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(random());
        created = target.parent_path() / name;
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool WriteAtomically(const std::filesystem::path& target, const std::function<bool(int)>& produce,
                     bool sync) {
    // A target naming a folder ("dir/") has no file name to write under.
    if (target.filename().empty()) return false;
    std::filesystem::path temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return false;
    bool ok = produce(fd) && (!sync || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace emu
