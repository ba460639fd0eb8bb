#include "UsageTracker.h"

#include "Paths.h"

#include <linux/limits.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <compare>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace emu {

namespace {

// Whatever changes a folder's visible entries or their sizes: an entry comes, goes or
// changes, or the folder itself does.
constexpr std::uint32_t kFolderChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                         IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                         IN_ONLYDIR | IN_DONT_FOLLOW;
// A file written through a hard link from elsewhere tells its folder nothing, so each file
// is watched as well.
constexpr std::uint32_t kFileChanges = IN_MODIFY | IN_DONT_FOLLOW;

// On a network or FUSE file system another machine's changes raise no notice.
bool NoticesEveryChange(const std::filesystem::path& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case F2FS_SUPER_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

std::string Join(const std::string& folder, std::string_view name) {
    return folder.empty() ? std::string(name) : folder + '/' + std::string(name);
}

// Components below the drive's root: 0 for the root itself.
std::size_t Depth(const std::string& relative) {
    return relative.empty() ? 0 : std::count(relative.begin(), relative.end(), '/') + 1;
}

struct DriveKey {
    dev_t device;
    ino_t inode;
    auto operator<=>(const DriveKey&) const = default;
};

struct Node {
    bool folder = false;
    std::uint64_t size = 0;
    int watch = -1;
};

struct Drive {
    std::filesystem::path root;
    std::map<std::string, Node> nodes;  // every visible entry by its path below the root
    DriveUsage usage;
};

struct Owner {
    DriveKey drive;
    std::string relative;
    bool operator==(const Owner&) const = default;
};

class UsageTracker {
public:
    DriveUsage Usage(const std::filesystem::path& root);

private:
    bool Started();
    // Reads every pending notice and looks again at what each names.
    void Catch();
    void Forget(const DriveKey& key);
    // False when the drive can no longer be followed.
    bool Refresh(const DriveKey& key, const std::string& relative);
    bool Add(Drive& drive, const DriveKey& key, const std::string& relative);
    void Remove(Drive& drive, const DriveKey& key, const std::string& relative);
    int Watch(const std::filesystem::path& path, std::uint32_t mask, const Owner& owner);
    void Unwatch(int watch, const Owner& owner);

    std::mutex mutex_;
    int notices_ = -1;
    std::map<DriveKey, Drive> drives_;
    std::set<DriveKey> untracked_;
    // A watch serves every name of its folder or file.
    std::unordered_map<int, std::vector<Owner>> owners_;
};

DriveUsage UsageTracker::Usage(const std::filesystem::path& root) {
    const std::lock_guard lock(mutex_);
    if (!Started()) return MeasureDrive(root);
    Catch();
    struct stat info {};
    if (::lstat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return MeasureDrive(root);
    // Known by its folder, not its path: a bench moved or replaced is a new drive.
    const DriveKey key{info.st_dev, info.st_ino};
    if (const auto known = drives_.find(key); known != drives_.end()) {
        known->second.root = root;
        return known->second.usage;
    }
    if (untracked_.count(key) || !NoticesEveryChange(root)) return MeasureDrive(root);
    Drive& drive = drives_[key];
    drive.root = root;
    if (!Add(drive, key, "") || !drive.nodes.count("")) {
        // Out of watches, most likely: trying again on every call would cost twice a count.
        Forget(key);
        untracked_.insert(key);
        return MeasureDrive(root);
    }
    return drive.usage;
}

bool UsageTracker::Started() {
    if (notices_ < 0) notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    return notices_ >= 0;
}

void UsageTracker::Catch() {
    std::map<DriveKey, std::set<std::string>> changed;
    bool overflow = false;
    alignas(inotify_event) char buffer[64 * 1024];
    // A read takes every notice that fits, so one that leaves room for another took them all.
    constexpr ssize_t kFull = sizeof buffer - (sizeof(inotify_event) + NAME_MAX + 1);
    for (bool more = true; more;) {
        const ssize_t got = ::read(notices_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        more = got >= kFull;
        for (ssize_t at = 0; at < got;) {
            const auto* notice = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + notice->len);
            if (notice->mask & IN_Q_OVERFLOW) overflow = true;
            const auto found = owners_.find(notice->wd);
            if (found == owners_.end()) continue;
            const std::vector<Owner> owners = found->second;
            // The kernel has dropped the watch: its folder or file is gone.
            if (notice->mask & IN_IGNORED) owners_.erase(found);
            const std::string_view name = notice->len > 0 ? notice->name : "";
            for (const Owner& owner : owners) {
                if (name.empty()) {
                    changed[owner.drive].insert(owner.relative);
                } else if (IsShortName(name)) {
                    changed[owner.drive].insert(Join(owner.relative, name));
                }
            }
        }
    }
    if (overflow) {
        // Notices were lost: every drive is measured again.
        ::close(notices_);
        notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        drives_.clear();
        untracked_.clear();
        owners_.clear();
        return;
    }
    for (const auto& [key, paths] : changed) {
        // A folder comes before what lies in it, so a folder gone takes its entries first.
        for (const std::string& relative : paths) {
            if (!drives_.count(key)) break;
            if (!Refresh(key, relative)) Forget(key);
        }
    }
}

void UsageTracker::Forget(const DriveKey& key) {
    const auto found = drives_.find(key);
    if (found == drives_.end()) return;
    for (const auto& [relative, node] : found->second.nodes) Unwatch(node.watch, {key, relative});
    drives_.erase(found);
}

bool UsageTracker::Refresh(const DriveKey& key, const std::string& relative) {
    // The root itself changed (moved, removed, its mode): measure it all again when asked.
    if (relative.empty()) return false;
    Drive& drive = drives_.at(key);
    const auto slash = relative.rfind('/');
    const std::string parent = slash == std::string::npos ? "" : relative.substr(0, slash);
    const auto folder = drive.nodes.find(parent);
    // Below a folder the drive no longer shows, nothing counts.
    if (folder == drive.nodes.end() || !folder->second.folder) return true;
    Remove(drive, key, relative);
    return Add(drive, key, relative);
}

bool UsageTracker::Add(Drive& drive, const DriveKey& key, const std::string& relative) {
    const std::filesystem::path path = relative.empty() ? drive.root : drive.root / relative;
    const Owner owner{key, relative};
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return true;
    // Another file system mounted inside changes unnoticed.
    if (info.st_dev != key.device) return false;
    const bool folder = S_ISDIR(info.st_mode) && Depth(relative) <= kMaxFolderParts;
    if (!folder && !S_ISREG(info.st_mode)) return true;

    // Watched before it is read, so no change after the reading goes unnoticed.
    const int watch = Watch(path, folder ? kFolderChanges : kFileChanges, owner);
    // Gone or replaced since: its folder's notice brings it back.
    if (watch < 0) return errno == ENOENT || errno == ENOTDIR;
    if (!folder) {
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            Unwatch(watch, owner);
            return true;
        }
        drive.nodes[relative] = Node{false, static_cast<std::uint64_t>(info.st_size), watch};
        drive.usage.bytes += static_cast<std::uint64_t>(info.st_size);
        ++drive.usage.files;
        return true;
    }
    drive.nodes[relative] = Node{true, 0, watch};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
        const std::string name = entry.path().filename().string();
        if (IsShortName(name) && !Add(drive, key, Join(relative, name))) return false;
    }
    return true;
}

void UsageTracker::Remove(Drive& drive, const DriveKey& key, const std::string& relative) {
    const auto found = drive.nodes.find(relative);
    if (found == drive.nodes.end()) return;
    auto end = std::next(found);
    if (found->second.folder) {
        const std::string inside = relative + '/';
        while (end != drive.nodes.end() && end->first.starts_with(inside)) ++end;
    }
    for (auto it = found; it != end; ++it) {
        Unwatch(it->second.watch, {key, it->first});
        if (!it->second.folder) {
            drive.usage.bytes -= it->second.size;
            --drive.usage.files;
        }
    }
    drive.nodes.erase(found, end);
}

int UsageTracker::Watch(const std::filesystem::path& path, std::uint32_t mask, const Owner& owner) {
    const int watch = ::inotify_add_watch(notices_, path.c_str(), mask);
    if (watch >= 0) owners_[watch].push_back(owner);
    return watch;
}

void UsageTracker::Unwatch(int watch, const Owner& owner) {
    const auto found = owners_.find(watch);
    if (found == owners_.end()) return;
    std::erase(found->second, owner);
    if (!found->second.empty()) return;
    owners_.erase(found);
    ::inotify_rm_watch(notices_, watch);
}

}  // namespace

DriveUsage CurrentUsage(const std::filesystem::path& driveRoot) {
    static UsageTracker tracker;
    return tracker.Usage(driveRoot);
}

}  // namespace emu
