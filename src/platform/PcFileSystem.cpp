#include "platform/PcFileSystem.h"

#include "platform/LocalFileSystem.h"

#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Trailing slashes would make lstat and rmdir look through a final symbolic link.
QByteArray Native(const QString& path) {
    QByteArray bytes = QFile::encodeName(path);
    while (bytes.size() > 1 && bytes.endsWith('/')) bytes.chop(1);
    return bytes;
}

QByteArray ParentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

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
            return IsFolder(ParentOf(path)) ? kPcFileNotFound : kPcPathNotFound;
        case ENOTDIR:  // a file where the path needs a folder
            return kPcPathNotFound;
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
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

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

// A hidden file beside `target` that holds the new content until it is renamed into place;
// removed again unless it was.
class TemporaryBeside {
public:
    TemporaryBeside(const QByteArray& target, mode_t mode) {
        const QByteArray parent = ParentOf(target);
        // Room for the suffix within a file name's 255 bytes.
        const QByteArray stem = (parent == "/" ? QByteArray("/.") : parent + "/.") +
                                NameOf(target).left(200) + ".tarvik-";
        static constexpr char kLetters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray candidate = stem;
            for (int i = 0; i < 6; ++i)
                candidate +=
                    kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
            fd_ = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                path_ = candidate;
                return;
            }
            if (errno != EEXIST) break;
        }
        error_ = errno;
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;
    ~TemporaryBeside() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.isEmpty()) ::unlink(path_.constData());
    }

    int error() const { return error_; }
    int fd() const { return fd_; }
    const QByteArray& path() const { return path_; }

    // Gives the file `mode` and the `modified` time where the file system keeps them; a USB
    // stick's file system refuses most modes, and that must not fail the copy.
    void Adopt(mode_t mode, const timespec* modified) const {
        (void)::fchmod(fd_, mode);
        if (modified) {
            const timespec times[2] = {{0, UTIME_NOW}, *modified};
            (void)::futimens(fd_, times);
        }
    }

    // Makes the content durable before the rename publishes it; 0 or the errno. A network
    // file system may report a failed write only at the close.
    int Finish() {
        if (::fsync(fd_) != 0 && errno != EINVAL && errno != ENOTSUP) return errno;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

    // The file has its final name now, so it is not ours to remove.
    void Release() { path_.clear(); }

private:
    int fd_ = -1;
    int error_ = 0;
    QByteArray path_;
};

}  // namespace

int LocalFileSystem::RenameNoReplace(const QByteArray& from, const QByteArray& to) const {
    if (noReplaceRename_) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
            0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS) return errno;
    }
    // A hard link never replaces either.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) == 0) return 0;
        const int error = errno;
        ::unlink(to.constData());
        return error;
    }
    // link() answers EEXIST before it refuses a folder or a file system without hard links, so
    // the name was free a moment ago; only a racing writer could take it before the rename.
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS) return errno;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

std::optional<QList<PcEntry>> LocalFileSystem::List(const QString& folder, ListDetail detail) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
    const QByteArray native = Native(path);
    return EntryAt(AT_FDCWD, native.constData(), QFile::decodeName(NameOf(native)));
}

int LocalFileSystem::CopyFile(const QString& fromPath, const QString& toPath, bool failIfExists) {
    const QByteArray from = Native(fromPath);
    const QByteArray to = Native(toPath);
    // Looked at before opening, so neither a device is opened nor a pipe waited on.
    struct stat st;
    if (::stat(from.constData(), &st) != 0) return CodeFor(errno, from);
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;
    Descriptor source(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (source.get() < 0) return CodeFor(errno, from);
    if (::fstat(source.get(), &st) != 0) return CodeFor(errno, from);
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;

    struct stat existing;
    if (::lstat(to.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return kPcAccessDenied;
        if (failIfExists) return kPcFileExists;
    }

    TemporaryBeside temporary(to, 0600);
    if (temporary.error()) return CodeFor(temporary.error(), to);
    if (const int error = CopyBytes(source.get(), temporary.fd())) return CodeFor(error, to);
    // A Windows copy keeps the source's last-write time.
    temporary.Adopt(st.st_mode & 0777, &st.st_mtim);
    if (const int error = temporary.Finish()) return CodeFor(error, to);

    int error = 0;
    if (failIfExists) {
        error = RenameNoReplace(temporary.path(), to);
    } else if (::rename(temporary.path().constData(), to.constData()) != 0) {
        error = errno;
    }
    if (error == EEXIST) return kPcFileExists;
    if (error) return CodeFor(error, to);
    temporary.Release();
    return kPcSuccess;
}

int LocalFileSystem::MoveFile(const QString& fromPath, const QString& toPath) {
    const QByteArray from = Native(fromPath);
    const QByteArray to = Native(toPath);
    struct stat st;
    if (::lstat(from.constData(), &st) != 0) return CodeFor(errno, from);
    const int error = RenameNoReplace(from, to);
    if (error == 0) return kPcSuccess;
    if (error == EEXIST || error == ENOTEMPTY) return kPcAlreadyExists;
    if (error != EXDEV || !S_ISREG(st.st_mode)) return CodeFor(error, to);

    // To another file system the file travels as a whole copy; the source goes only after it.
    const int copied = CopyFile(fromPath, toPath, true);
    if (copied == kPcFileExists) return kPcAlreadyExists;
    if (copied != kPcSuccess) return copied;
    if (::unlink(from.constData()) != 0 && errno != ENOENT) {
        // Both would remain; undo the copy so the move either happened or did not.
        const int code = CodeFor(errno, from);
        ::unlink(to.constData());
        return code;
    }
    return kPcSuccess;
}

int LocalFileSystem::DeleteFile(const QString& path) {
    const QByteArray native = Native(path);
    return ::unlink(native.constData()) == 0 ? kPcSuccess : CodeFor(errno, native);
}

int LocalFileSystem::CreateFolder(const QString& path) {
    const QByteArray native = Native(path);
    if (::mkdir(native.constData(), 0777) == 0) return kPcSuccess;
    return errno == EEXIST ? kPcAlreadyExists : CodeFor(errno, native);
}

int LocalFileSystem::RemoveFolder(const QString& path) {
    const QByteArray native = Native(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) return CodeFor(errno, native);
    // Never through a link: what it names stays, and the link is not a folder to remove.
    if (!S_ISDIR(st.st_mode)) return kPcAccessDenied;
    if (::rmdir(native.constData()) == 0) return kPcSuccess;
    return errno == EEXIST ? kPcFolderNotEmpty : CodeFor(errno, native);
}

int LocalFileSystem::ReadWholeFile(const QString& path, QByteArray& content) {
    content.clear();
    const QByteArray native = Native(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) return CodeFor(errno, native);
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;
    Descriptor file(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return CodeFor(errno, native);
    if (::fstat(file.get(), &st) != 0) return CodeFor(errno, native);
    if (!S_ISREG(st.st_mode)) return kPcAccessDenied;

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

int LocalFileSystem::WriteWholeFile(const QString& path, const QByteArray& content) {
    QByteArray native = Native(path);
    // Through a link the file it names gets the content; the link stays a link.
    struct stat st;
    if (::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = ::realpath(native.constData(), nullptr)) {
            native = resolved;
            std::free(resolved);
        }
    }
    const bool exists = ::stat(native.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return kPcAccessDenied;

    // A new file gets the usual mode, umask applied; a replaced one keeps its own.
    TemporaryBeside temporary(native, 0666);
    if (temporary.error()) return CodeFor(temporary.error(), native);
    if (const int error = WriteAll(temporary.fd(), content.constData(), size_t(content.size())))
        return CodeFor(error, native);
    if (exists) {
        // Best effort, like the mode: only root may give a file away.
        if (::fchown(temporary.fd(), st.st_uid, st.st_gid) != 0) {
        }
        temporary.Adopt(st.st_mode & 07777, nullptr);
    }
    if (const int error = temporary.Finish()) return CodeFor(error, native);
    if (::rename(temporary.path().constData(), native.constData()) != 0)
        return CodeFor(errno, native);
    temporary.Release();
    return kPcSuccess;
}

bool IsPcFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    return !name.contains(u'/') && !name.contains(QChar(0));
}

bool IsPlainFileName(const QString& name) {
    return IsPcFileName(name) && !name.contains(u'\\');
}

PcFileSystem& LocalFiles() {
    static LocalFileSystem files;
    return files;
}
