#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

struct stat;

namespace emu {

// Closes the descriptor when it goes, however the operation ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();
    int Get() const { return fd_; }

private:
    int fd_;
};

// Opens a regular file for reading, or gives no descriptor. A pipe, device, socket or
// folder is refused by its kind before any open, so nothing waits on a writer; the open
// itself does not block and the kind is checked again on the descriptor.
// `status`, when given, receives what the descriptor's check found.
FileDescriptor OpenRegularFile(const std::filesystem::path& path, bool followLinks,
                               struct stat* status = nullptr);
// Whether `path` may be replaced by a written file: absent, a regular file or a link.
bool IsReplaceableByFile(const std::filesystem::path& path);

bool WriteAll(int fd, const void* data, std::size_t size);

// A serial line's pace: moving bytes takes their count divided by the rate. A rate of 0
// has no limit.
class LinePace {
public:
    explicit LinePace(std::uint64_t bytesPerSecond);
    // How many bytes to move before the next wait: about a tenth of a second's worth.
    std::size_t Slice() const;
    // Waits until `moved` bytes in all would have crossed the line since the start.
    void Wait(std::uint64_t moved) const;

private:
    std::uint64_t rate_;
    std::chrono::steady_clock::time_point start_;
};

enum class CopyResult { kDone, kReadFailed, kWriteFailed };
// Copies the rest of `from` to `to` at the line's pace.
CopyResult CopyAll(int from, int to, const LinePace& pace);

// Writes `target` whole or not at all: the content goes to a temporary file in the same
// folder, is synced unless `sync` is false, then renamed over the target. `produce` writes to
// the descriptor and returns false to give up, which leaves the target as it was and no
// temporary file behind.
bool WriteAtomically(const std::filesystem::path& target, const std::function<bool(int)>& produce,
                     bool sync = true);

}  // namespace emu
