#include "platform/LocalFileSystem.h"

#include "platform/NativePath.h"
#include "platform/Trash.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <dirent.h>
#include <linux/fs.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

QByteArray NameOf(const QByteArray& path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return name.isEmpty() ? path : name;
}

bool IsFolder(const QByteArray& path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The Windows code for an errno of a call on `path`.
int CodeFor(int error, const QByteArray& path) {
    switch (error) {
        case 0:
            return kPcSuccess;
        case ENOENT:
            return IsFolder(NativeParentOf(path)) ? kPcFileNotFound : kPcPathNotFound;
        case ENOTDIR:  // a file where the path needs a folder
            return kPcPathNotFound;
        case ELOOP:  // a link where a confined walk needs a folder
            return kPcAccessDenied;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kPcAccessDenied;
        case EXDEV:
            return kPcNotSameDevice;
        case ENOSPC:
        case EDQUOT:
            return kPcDiskFull;
        case ENOTEMPTY:
            return kPcFolderNotEmpty;
        default:
            return kPcGeneralFailure;
    }
}

// In UTC: a local time costs a time-zone look-up per entry, which a large folder feels.
QDateTime ModifiedTime(const struct stat& st) {
    return QDateTime::fromMSecsSinceEpoch(
        qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

// The entry `path` names relative to the folder `dirfd`; none when it has vanished.
std::optional<PcEntry> EntryAt(int dirfd, const char* path, QString name) {
    struct stat own;
    if (::fstatat(dirfd, path, &own, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    PcEntry entry;
    entry.hidden = name.startsWith(u'.');
    entry.name = std::move(name);
    entry.symbolicLink = S_ISLNK(own.st_mode);
    struct stat st = own;
    if (entry.symbolicLink && ::fstatat(dirfd, path, &st, 0) != 0) {
        // A dangling link: nothing behind it to be a folder or a device.
        entry.modified = ModifiedTime(own);
        return entry;
    }
    entry.folder = S_ISDIR(st.st_mode);
    entry.system =
        S_ISSOCK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode);
    entry.size = S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;
    entry.modified = ModifiedTime(st);
    return entry;
}

// File names are UTF-8 here, as Qt takes every local 8-bit text on this platform; the direct
// conversion spares a large folder a converter look-up per name.
QString DecodedName(const char* name) { return QString::fromUtf8(name); }

// Whether a listing's own entry type tells folder, file and system entries apart; a link or
// an unknown type needs a look at the entry itself.
bool KindIsKnown(unsigned char type) {
    return type == DT_DIR || type == DT_REG || type == DT_FIFO || type == DT_SOCK ||
           type == DT_CHR || type == DT_BLK;
}

PcEntry EntryOfKind(unsigned char type, QString name) {
    PcEntry entry;
    entry.hidden = name.startsWith(u'.');
    entry.name = std::move(name);
    entry.folder = type == DT_DIR;
    entry.system = type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
    return entry;
}

// Closes a file descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

int WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        size -= size_t(written);
    }
    return 0;
}

int CopyBytes(int from, int to) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return 0;
        if (const int error = WriteAll(to, buffer.data(), size_t(got))) return error;
    }
}

// Answers of a kernel copy that only mean "not here": the next way is tried.
bool Unsupported(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == ENOTTY;
}

constexpr size_t kKernelStep = size_t(8) << 20;

// Copies the whole of `from` (both descriptors at offset 0) as cheaply as the file system
// allows: a shared extent, a copy inside the kernel, or through this process's memory. A file
// that claims no size (as those under /proc do) may still have content: only reading tells.
int CopyFileBytes(int from, int to, qint64 size, bool kernelCopy) {
    if (kernelCopy && size > 0) {
        if (::ioctl(to, FICLONE, from) == 0) return 0;
        if (!Unsupported(errno)) return errno;
        // A large file's blocks are taken at once: a full disk says so before any byte is
        // copied, and the writeback below finds its extents ready.
        if (size >= qint64(kKernelStep) && ::fallocate(to, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
            errno == ENOSPC) {
            return ENOSPC;
        }
        off_t copied = 0;
        for (;;) {
            const ssize_t done = ::copy_file_range(from, nullptr, to, nullptr, kKernelStep, 0);
            if (done > 0) {
                // The disk starts on each step while the next is copied, so the sync before
                // the rename finds little left to write.
                (void)::sync_file_range(to, copied, done, SYNC_FILE_RANGE_WRITE);
                copied += done;
                continue;
            }
            if (done == 0) {
                // A source that shrank while it was copied leaves no taken blocks behind.
                if (copied < size && ::ftruncate(to, copied) != 0) return errno;
                return 0;
            }
            if (errno == EINTR) continue;
            // Nothing written yet: the plain loop still starts clean.
            if (copied > 0 || !Unsupported(errno)) return errno;
            break;
        }
    }
    return CopyBytes(from, to);
}

constexpr char kTemporaryMark[] = ".tarvik-";

// A hidden name beside `name` that tells which process made it: ".NAME.tarvik-PID-SUFFIX".
QByteArray TemporaryName(const QByteArray& name, const QByteArray& suffix) {
    // Room for the rest within a file name's 255 bytes.
    return '.' + name.left(200) + kTemporaryMark + QByteArray::number(qint64(::getpid())) + '-' +
           suffix;
}

QByteArray RandomSuffix() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix;
    for (int i = 0; i < 6; ++i)
        suffix += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return suffix;
}

// A temporary name of a process that no longer runs; anything made from it (a module's own
// temporary file beside it too) is a leftover.
bool IsLeftover(const char* name) {
    if (name[0] != '.') return false;
    const char* mark = std::strstr(name + 1, kTemporaryMark);
    if (!mark) return false;
    const char* digits = mark + sizeof kTemporaryMark - 1;
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '-' || end[1] == '\0' || errno != 0) return false;
    return IsProcessGone(pid);
}

bool IsNameComponent(const QByteArray& name) {
    return !name.isEmpty() && name != "." && name != "..";
}

}  // namespace

// The folders of one confined walk, each opened once below the top without following a link.
class LocalFileSystem::Confinement final : public WalkConfinement {
public:
    Confinement(LocalFileSystem& owner, QByteArray top) : top(std::move(top)), owner_(owner) {
        prefix = this->top.endsWith('/') ? this->top : this->top + '/';
        owner_.confinements_.push_back(this);
    }
    ~Confinement() override {
        Forget({});
        std::erase(owner_.confinements_, this);
    }

    // The folder `relative` to the top ("" for the top); -1 with `error` set when a step on
    // the way is not a plain folder.
    int Folder(const QByteArray& relative, int& error) {
        if (const auto found = folders_.constFind(relative); found != folders_.constEnd())
            return *found;
        int parent = AT_FDCWD;
        QByteArray name = top;
        if (!relative.isEmpty()) {
            const qsizetype slash = relative.lastIndexOf('/');
            parent = Folder(slash < 0 ? QByteArray() : relative.left(slash), error);
            if (parent < 0) return -1;
            name = relative.mid(slash + 1);
            if (!IsNameComponent(name)) {
                error = EACCES;
                return -1;
            }
        }
        const int fd =
            ::openat(parent, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            return -1;
        }
        folders_.insert(relative, fd);
        return fd;
    }

    // `relative` ("" for the top) and every folder below it are to be opened afresh.
    void Forget(const QByteArray& relative) {
        for (auto it = folders_.begin(); it != folders_.end();) {
            if (relative.isEmpty() || it.key() == relative || it.key().startsWith(relative + '/')) {
                ::close(*it);
                it = folders_.erase(it);
            } else {
                ++it;
            }
        }
    }

    QByteArray top;
    QByteArray prefix;

private:
    LocalFileSystem& owner_;
    QHash<QByteArray, int> folders_;
};

namespace {

using Location = LocalFileSystem::Location;

// A file being written beside its target (unnamed where the file system allows it) that
// takes the target's name only once it is whole; gone again unless it did.
class NewFile {
public:
    NewFile(int folder, const QByteArray& target, mode_t mode, bool unnamed)
        : folder_(folder), target_(target) {
        if (unnamed) {
            fd_ = Descriptor(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
            if (fd_.get() >= 0) return;
            // File systems without unnamed files answer one of these; anything else is real.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                error_ = errno;
                return;
            }
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray candidate = TemporaryName(target, RandomSuffix());
            fd_ = Descriptor(::openat(folder, candidate.constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (fd_.get() >= 0) {
                name_ = candidate;
                return;
            }
            if (errno != EEXIST) break;
        }
        error_ = errno;
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (!name_.isEmpty()) ::unlinkat(folder_, name_.constData(), 0);
    }

    int error() const { return error_; }
    int fd() const { return fd_.get(); }

    // Gives the file `mode` and the `modified` time where the file system keeps them; a USB
    // stick's file system refuses most modes, and that must not fail the copy.
    void Adopt(mode_t mode, const timespec* modified) const {
        (void)::fchmod(fd(), mode);
        if (modified) {
            const timespec times[2] = {{0, UTIME_NOW}, *modified};
            (void)::futimens(fd(), times);
        }
    }

    // Waits until the content is on disk: 0 or the errno. A network file system may report a
    // failed write only here; one that cannot sync still reports it at the close.
    int Sync() const {
        return ::fsync(fd()) != 0 && errno != EINVAL && errno != ENOTSUP ? errno : 0;
    }

    // Makes the content durable (unless it is scratch) and gives it the target's name: never
    // over an existing file unless `replace`. 0 or the errno; EEXIST when the name is taken.
    int Publish(bool replace, const std::function<int(int, const QByteArray&)>& renameNoReplace,
                Durability durability = Durability::Kept) {
        if (durability == Durability::Kept) {
            if (const int error = Sync()) return error;
        }
        if (name_.isEmpty() && !replace) return LinkUnnamed(target_);
        if (name_.isEmpty()) {
            // Linked under a name of its own first, so the rename that follows is atomic.
            for (int attempt = 0; attempt < 100 && name_.isEmpty(); ++attempt) {
                const QByteArray candidate = TemporaryName(target_, RandomSuffix());
                const int error = LinkUnnamed(candidate);
                if (error == 0) name_ = candidate;
                else if (error != EEXIST) return error;
            }
            if (name_.isEmpty()) return EEXIST;
        }
        if (::close(fd_.release()) != 0) return errno;
        const int error = replace ? (::renameat(folder_, name_.constData(), folder_,
                                                target_.constData()) == 0
                                         ? 0
                                         : errno)
                                  : renameNoReplace(folder_, name_);
        if (error == 0) name_.clear();
        return error;
    }

private:
    int LinkUnnamed(const QByteArray& name) const {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd());
        if (::linkat(AT_FDCWD, self.constData(), folder_, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != ENOENT) return errno;
        // Without /proc only a privileged process may link a descriptor by itself.
        return ::linkat(fd(), "", folder_, name.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
    }

    int folder_;
    QByteArray target_;
    Descriptor fd_;
    QByteArray name_;  // while the file has a temporary name
    int error_ = 0;
};

// Opens the plain file `at` names for reading, through a final link unless the walk is
// confined; 0 or the code.
int OpenPlainFile(const Location& at, const QByteArray& native, Descriptor& file,
                  struct stat& st) {
    if (at.error) return CodeFor(at.error, native);
    const int noFollow = at.confined ? AT_SYMLINK_NOFOLLOW : 0;
    if (::fstatat(at.folder, at.name.constData(), &st, noFollow) != 0)
        return CodeFor(errno, native);
    // Looked at before opening, so neither a device is opened nor a pipe waited on.
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;
    file = Descriptor(::openat(at.folder, at.name.constData(),
                               O_RDONLY | O_CLOEXEC | O_NONBLOCK | (noFollow ? O_NOFOLLOW : 0)));
    if (file.get() < 0) return CodeFor(errno, native);
    if (::fstat(file.get(), &st) != 0) return CodeFor(errno, native);
    return S_ISREG(st.st_mode) ? kPcSuccess : kPcAccessDenied;
}

// Reads `count` bytes at `offset`, fewer only where the file ends; the count read, or -1 with
// errno set.
ssize_t ReadAt(int fd, char* buffer, size_t count, off_t offset) {
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd, buffer + done, count - done, offset + off_t(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += size_t(got);
    }
    return ssize_t(done);
}

// The target of a link; empty when it cannot be read.
QByteArray LinkTarget(const Location& at) {
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t got = ::readlinkat(at.folder, at.name.constData(), target.data(), target.size());
    if (got <= 0 || got >= target.size()) return {};
    target.truncate(got);
    return target;
}

}  // namespace

LocalFileSystem::Location::Location(Location&& other) noexcept
    : folder(other.folder),
      name(std::move(other.name)),
      error(other.error),
      confined(other.confined),
      ownedFolder(std::exchange(other.ownedFolder, -1)) {}

LocalFileSystem::Location::~Location() {
    if (ownedFolder >= 0) ::close(ownedFolder);
}

LocalFileSystem::~LocalFileSystem() = default;

LocalFileSystem::Location LocalFileSystem::Locate(const QByteArray& path) {
    Location location;
    Confinement* confinement = nullptr;
    for (Confinement* candidate : confinements_) {
        const bool inside = path == candidate->top || path.startsWith(candidate->prefix);
        if (inside && (!confinement || candidate->top.size() > confinement->top.size()))
            confinement = candidate;
    }
    const qsizetype slash = path.lastIndexOf('/');
    if (confinement && path != confinement->top) {
        const QByteArray relative = path.mid(confinement->prefix.size());
        const qsizetype last = relative.lastIndexOf('/');
        location.confined = true;
        location.name = relative.mid(last + 1);
        if (!IsNameComponent(location.name)) {
            location.error = EACCES;
            return location;
        }
        location.folder = confinement->Folder(last < 0 ? QByteArray() : relative.left(last),
                                              location.error);
        return location;
    }
    location.confined = confinement != nullptr;
    if (slash < 0 || path == "/") {
        location.folder = AT_FDCWD;
        location.name = path;
        return location;
    }
    // Resolved once here, so every later step of the call works in the same folder.
    Descriptor parent(::open(slash == 0 ? "/" : path.left(slash).constData(),
                             O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0) {
        location.error = errno;
        return location;
    }
    location.name = path.mid(slash + 1);
    location.folder = parent.get();
    location.ownedFolder = parent.release();
    return location;
}

void LocalFileSystem::Forget(const QByteArray& path) {
    for (Confinement* confinement : confinements_) {
        if (path == confinement->top) {
            confinement->Forget({});
        } else if (path.startsWith(confinement->prefix)) {
            confinement->Forget(path.mid(confinement->prefix.size()));
        }
    }
}

std::unique_ptr<WalkConfinement> LocalFileSystem::ConfineWalk(const QString& top) {
    return std::make_unique<Confinement>(*this, NativePath(top));
}

int LocalFileSystem::RenameNoReplace(const Location& from, const Location& to) const {
    const char* fromName = from.name.constData();
    const char* toName = to.name.constData();
    if (options_.noReplaceRename) {
        if (::renameat2(from.folder, fromName, to.folder, toName, RENAME_NOREPLACE) == 0) return 0;
        if (errno != EINVAL && errno != ENOSYS) return errno;
    }
    // A hard link never replaces either.
    if (::linkat(from.folder, fromName, to.folder, toName, 0) == 0) {
        if (::unlinkat(from.folder, fromName, 0) == 0) return 0;
        const int error = errno;
        ::unlinkat(to.folder, toName, 0);
        return error;
    }
    // link() answers EEXIST before it refuses a folder or a file system without hard links, so
    // the name was free a moment ago; only a racing writer could take it before the rename.
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS) return errno;
    return ::renameat(from.folder, fromName, to.folder, toName) == 0 ? 0 : errno;
}

void LocalFileSystem::SweepLeftovers(int folder) {
    // A bare name in the working folder: no folder of the program's own to look at.
    if (folder == AT_FDCWD) return;
    struct stat st;
    if (::fstatat(folder, ".", &st, 0) != 0) return;
    const QByteArray key = QByteArray::number(quint64(st.st_dev)) + ':' +
                           QByteArray::number(quint64(st.st_ino));
    if (swept_.contains(key)) return;
    swept_.insert(key);
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd), ::closedir);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<QByteArray> leftovers;
    while (const dirent* found = ::readdir(dir.get())) {
        if (IsLeftover(found->d_name)) leftovers.emplace_back(found->d_name);
    }
    for (const QByteArray& name : leftovers) ::unlinkat(folder, name.constData(), 0);
}

QString LocalFileSystem::TemporaryNameBeside(const QString& path) {
    const QByteArray native = NativePath(path);
    const Location at = Locate(native);
    if (at.error == 0) SweepLeftovers(at.folder);
    const QByteArray parent = NativeParentOf(native);
    for (int n = 1;; ++n) {
        const QByteArray name = TemporaryName(NameOf(native), QByteArray::number(n));
        const QByteArray candidate = parent == "/" ? '/' + name : parent + '/' + name;
        struct stat st;
        if (at.error != 0 ||
            ::fstatat(at.folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return QFile::decodeName(candidate);
    }
}

std::optional<QList<PcEntry>> LocalFileSystem::List(const QString& folder, ListDetail detail) {
    const Location at = Locate(NativePath(folder));
    if (at.error) return std::nullopt;
    const int fd = ::openat(at.folder, at.name.constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC | (at.confined ? O_NOFOLLOW : 0));
    if (fd < 0) return std::nullopt;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd), ::closedir);
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    QList<PcEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(dir.get());
        if (!found) {
            if (errno != 0) return std::nullopt;
            return entries;
        }
        const char* name = found->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (detail == ListDetail::Kinds && KindIsKnown(found->d_type)) {
            entries.append(EntryOfKind(found->d_type, DecodedName(name)));
        } else if (auto entry = EntryAt(fd, name, DecodedName(name))) {
            entries.append(*entry);
        }
    }
}

std::optional<PcEntry> LocalFileSystem::Stat(const QString& path) {
    const QByteArray native = NativePath(path);
    const Location at = Locate(native);
    if (at.error) return std::nullopt;
    return EntryAt(at.folder, at.name.constData(), QFile::decodeName(NameOf(native)));
}

// A plain file's copy, whole beside its target, that takes its name once on disk.
struct LocalFileSystem::PendingCopy {
    qsizetype index;
    qint64 bytes;
    QByteArray to;
    Location target;  // keeps the folder the file is in open
    std::unique_ptr<NewFile> file;
};

int LocalFileSystem::CopyFile(const QString& fromPath, const QString& toPath, bool failIfExists) {
    return CopyOne(fromPath, toPath, failIfExists, nullptr);
}

void LocalFileSystem::CopyFiles(const QList<std::pair<QString, QString>>& copies,
                                const std::function<bool(qsizetype)>& before,
                                const std::function<void(qsizetype, int)>& after) {
    // Bounded, so the files held open stay few and large files take their names soon.
    constexpr size_t kBatchFiles = 64;
    constexpr qint64 kBatchBytes = qint64(256) << 20;
    std::vector<PendingCopy> pending;
    bool stopped = false;
    for (qsizetype i = 0; i < copies.size() && !stopped;) {
        pending.clear();
        qint64 bytes = 0;
        qsizetype failed = -1;
        int failure = kPcSuccess;
        for (; i < copies.size() && pending.size() < kBatchFiles && bytes < kBatchBytes; ++i) {
            if (!before(i)) {
                stopped = true;
                break;
            }
            const size_t held = pending.size();
            const int code = CopyOne(copies[i].first, copies[i].second, false, &pending);
            if (code != kPcSuccess) {
                failed = i;
                failure = code;
                stopped = true;
                break;
            }
            if (pending.size() > held) {
                pending.back().index = i;
                bytes += pending.back().bytes;
            } else {
                after(i, kPcSuccess);  // a link, which has no bytes to wait for
            }
        }
        // Every file's writeback starts before the first wait, so the disk takes them together.
        for (const PendingCopy& copy : pending)
            (void)::sync_file_range(copy.file->fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
        std::vector<int> errors(pending.size());
        for (size_t n = 0; n < pending.size(); ++n) errors[n] = pending[n].file->Sync();
        // Only now, with every byte on disk, does any file take its name.
        for (size_t n = 0; n < pending.size(); ++n) {
            PendingCopy& copy = pending[n];
            int error = errors[n];
            if (error == 0) error = copy.file->Publish(true, {}, Durability::Scratch);
            after(copy.index, error ? CodeFor(error, copy.to) : kPcSuccess);
        }
        pending.clear();
        if (failed >= 0) after(failed, failure);
    }
}

int LocalFileSystem::CopyOne(const QString& fromPath, const QString& toPath, bool failIfExists,
                             std::vector<PendingCopy>* hold) {
    const QByteArray from = NativePath(fromPath);
    const QByteArray to = NativePath(toPath);
    const Location source = Locate(from);
    if (source.error) return CodeFor(source.error, from);
    struct stat st;
    if (::fstatat(source.folder, source.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return CodeFor(errno, from);
    Location target = Locate(to);
    if (target.error) return CodeFor(target.error, to);
    struct stat existing;
    const bool exists =
        ::fstatat(target.folder, target.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return kPcAccessDenied;
    if (exists && failIfExists) return kPcFileExists;

    if (S_ISLNK(st.st_mode)) {
        const QByteArray link = LinkTarget(source);
        if (link.isEmpty()) return CodeFor(errno, from);
        if (failIfExists) {
            if (::symlinkat(link.constData(), target.folder, target.name.constData()) == 0)
                return kPcSuccess;
            return errno == EEXIST ? kPcFileExists : CodeFor(errno, to);
        }
        const QByteArray temporary = TemporaryName(target.name, RandomSuffix());
        if (::symlinkat(link.constData(), target.folder, temporary.constData()) != 0)
            return CodeFor(errno, to);
        if (::renameat(target.folder, temporary.constData(), target.folder,
                       target.name.constData()) == 0)
            return kPcSuccess;
        const int code = CodeFor(errno, to);
        ::unlinkat(target.folder, temporary.constData(), 0);
        return code;
    }
    // Looked at before opening, so neither a device is opened nor a pipe waited on.
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;
    Descriptor input(::openat(source.folder, source.name.constData(),
                              O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (input.get() < 0) return CodeFor(errno, from);
    if (::fstat(input.get(), &st) != 0) return CodeFor(errno, from);
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;

    SweepLeftovers(target.folder);
    auto file = std::make_unique<NewFile>(target.folder, target.name, 0600, options_.unnamedFiles);
    NewFile& output = *file;
    if (output.error()) return CodeFor(output.error(), to);
    if (const int error =
            CopyFileBytes(input.get(), output.fd(), qint64(st.st_size), options_.kernelCopy))
        return CodeFor(error, to);
    // A Windows copy keeps the source's last-write time.
    output.Adopt(st.st_mode & 0777, &st.st_mtim);
    if (hold && !failIfExists) {
        hold->push_back({0, qint64(st.st_size), to, std::move(target), std::move(file)});
        return kPcSuccess;
    }
    const int error =
        output.Publish(!failIfExists, [&](int folder, const QByteArray& name) {
            Location temporary;
            temporary.folder = folder;
            temporary.name = name;
            return RenameNoReplace(temporary, target);
        });
    if (error == EEXIST) return kPcFileExists;
    return error ? CodeFor(error, to) : kPcSuccess;
}

int LocalFileSystem::MoveFile(const QString& fromPath, const QString& toPath) {
    const QByteArray from = NativePath(fromPath);
    const QByteArray to = NativePath(toPath);
    const Location source = Locate(from);
    if (source.error) return CodeFor(source.error, from);
    const Location target = Locate(to);
    if (target.error) return CodeFor(target.error, to);
    struct stat st;
    if (::fstatat(source.folder, source.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return CodeFor(errno, from);
    const int error = RenameNoReplace(source, target);
    if (error == 0) {
        Forget(from);
        return kPcSuccess;
    }
    if (error == EEXIST || error == ENOTEMPTY) return kPcAlreadyExists;
    if (error != EXDEV || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) return CodeFor(error, to);

    // To another file system a file, or a link as a link, travels as a whole copy; the source
    // goes only after it.
    const int copied = CopyFile(fromPath, toPath, true);
    if (copied == kPcFileExists) return kPcAlreadyExists;
    if (copied != kPcSuccess) return copied;
    if (::unlinkat(source.folder, source.name.constData(), 0) != 0 && errno != ENOENT) {
        // Both would remain; undo the copy so the move either happened or did not.
        const int code = CodeFor(errno, from);
        ::unlinkat(target.folder, target.name.constData(), 0);
        return code;
    }
    return kPcSuccess;
}

int LocalFileSystem::DeleteFile(const QString& path) {
    const QByteArray native = NativePath(path);
    const Location at = Locate(native);
    if (at.error) return CodeFor(at.error, native);
    return ::unlinkat(at.folder, at.name.constData(), 0) == 0 ? kPcSuccess : CodeFor(errno, native);
}

int LocalFileSystem::CreateFolder(const QString& path) {
    const QByteArray native = NativePath(path);
    const Location at = Locate(native);
    if (at.error) return CodeFor(at.error, native);
    if (::mkdirat(at.folder, at.name.constData(), 0777) == 0) return kPcSuccess;
    return errno == EEXIST ? kPcAlreadyExists : CodeFor(errno, native);
}

int LocalFileSystem::RemoveFolder(const QString& path) {
    const QByteArray native = NativePath(path);
    const Location at = Locate(native);
    if (at.error) return CodeFor(at.error, native);
    struct stat st;
    if (::fstatat(at.folder, at.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return CodeFor(errno, native);
    // Never through a link: what it names stays, and the link is not a folder to remove.
    if (!S_ISDIR(st.st_mode)) return kPcAccessDenied;
    if (::unlinkat(at.folder, at.name.constData(), AT_REMOVEDIR) == 0) {
        Forget(native);
        return kPcSuccess;
    }
    return errno == EEXIST ? kPcFolderNotEmpty : CodeFor(errno, native);
}

int LocalFileSystem::ReadWholeFile(const QString& path, QByteArray& content) {
    content.clear();
    const QByteArray native = NativePath(path);
    Descriptor file;
    struct stat st;
    if (const int code = OpenPlainFile(Locate(native), native, file, st)) return code;

    // The size is only a hint: files under /proc report none and still have content.
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return CodeFor(errno, native);
        }
        if (got == 0) break;
        bytes.append(buffer, qsizetype(got));
    }
    content = std::move(bytes);
    return kPcSuccess;
}

int LocalFileSystem::ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes,
                                  QByteArray& content, qint64& fileSize) {
    content.clear();
    fileSize = 0;
    if (offset < 0 || maxBytes < 0) return kPcGeneralFailure;
    const QByteArray native = NativePath(path);
    Descriptor file;
    struct stat st;
    if (const int code = OpenPlainFile(Locate(native), native, file, st)) return code;
    const qint64 wanted = std::clamp<qint64>(qint64(st.st_size) - offset, 0, maxBytes);
    QByteArray bytes(qsizetype(wanted), Qt::Uninitialized);
    const ssize_t got = ReadAt(file.get(), bytes.data(), size_t(wanted), off_t(offset));
    if (got < 0) return CodeFor(errno, native);
    bytes.truncate(qsizetype(got));
    content = std::move(bytes);
    fileSize = qint64(st.st_size);
    return kPcSuccess;
}

int LocalFileSystem::CopyFileRange(const QString& fromPath, qint64 offset, qint64 size,
                                   const QString& toPath, const ChunkFilter& filter,
                                   Durability durability) {
    if (offset < 0 || size < 0) return kPcGeneralFailure;
    const QByteArray from = NativePath(fromPath);
    const QByteArray to = NativePath(toPath);
    Descriptor input;
    struct stat st;
    if (const int code = OpenPlainFile(Locate(from), from, input, st)) return code;
    if (size > qint64(st.st_size) || offset > qint64(st.st_size) - size) return kPcHandleEof;
    const Location target = Locate(to);
    if (target.error) return CodeFor(target.error, to);
    struct stat existing;
    if (::fstatat(target.folder, target.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(existing.st_mode))
        return kPcAccessDenied;

    SweepLeftovers(target.folder);
    NewFile output(target.folder, target.name, 0666, options_.unnamedFiles);
    if (output.error()) return CodeFor(output.error(), to);
    (void)::posix_fadvise(input.get(), off_t(offset), off_t(size), POSIX_FADV_SEQUENTIAL);
    std::vector<char> buffer(size_t(std::min<qint64>(size, kCopyChunkBytes)));
    for (qint64 done = 0; done < size;) {
        const size_t count = size_t(std::min<qint64>(size - done, kCopyChunkBytes));
        const ssize_t got = ReadAt(input.get(), buffer.data(), count, off_t(offset + done));
        if (got < 0) return CodeFor(errno, from);
        // The file was cut short since it was opened.
        if (size_t(got) < count) return kPcHandleEof;
        if (filter) {
            if (const int code = filter(buffer.data(), qsizetype(count), done)) return code;
        }
        if (const int error = WriteAll(output.fd(), buffer.data(), count))
            return CodeFor(error, to);
        done += qint64(count);
    }
    const int error = output.Publish(true, {}, durability);
    return error ? CodeFor(error, to) : kPcSuccess;
}

int LocalFileSystem::WriteWholeFile(const QString& path, const QByteArray& content,
                                    Durability durability) {
    QByteArray native = NativePath(path);
    // Through a link the file it names gets the content; the link stays a link.
    struct stat st;
    if (::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = ::realpath(native.constData(), nullptr)) {
            native = resolved;
            std::free(resolved);
        }
    }
    const Location at = Locate(native);
    if (at.error) return CodeFor(at.error, native);
    const bool exists = ::fstatat(at.folder, at.name.constData(), &st, 0) == 0;
    if (exists && !S_ISREG(st.st_mode)) return kPcAccessDenied;

    SweepLeftovers(at.folder);
    // A new file gets the usual mode, umask applied; a replaced one keeps its own.
    NewFile file(at.folder, at.name, 0666, options_.unnamedFiles);
    if (file.error()) return CodeFor(file.error(), native);
    if (const int error = WriteAll(file.fd(), content.constData(), size_t(content.size())))
        return CodeFor(error, native);
    if (exists) {
        // Best effort, like the mode: only root may give a file away.
        if (::fchown(file.fd(), st.st_uid, st.st_gid) != 0) {
        }
        file.Adopt(st.st_mode & 07777, nullptr);
    }
    const int error = file.Publish(true, {}, durability);
    return error ? CodeFor(error, native) : kPcSuccess;
}

std::optional<qint64> LocalFileSystem::FreeBytes(const QString& folder) {
    struct statvfs st;
    if (::statvfs(NativePath(folder).constData(), &st) != 0) return std::nullopt;
    return qint64(st.f_bavail) * qint64(st.f_frsize);
}

int LocalFileSystem::MoveToTrash(const QString& path) {
    const QByteArray native = NativePath(path);
    const TrashOutcome outcome = ::MoveToTrash(path);
    if (outcome.result == TrashResult::NoTrash) return kPcNotSupported;
    if (outcome.result == TrashResult::Failed) return CodeFor(outcome.error, native);
    Forget(native);
    return kPcSuccess;
}

PcFileSystem& LocalFiles() {
    static LocalFileSystem files;
    return files;
}
