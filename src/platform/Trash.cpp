#include "platform/Trash.h"

#include "platform/NativePath.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

namespace {

QByteArray NameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

QByteArray Join(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// Empty when the path does not resolve.
QByteArray RealPath(const QByteArray& path) {
    char* real = ::realpath(path.constData(), nullptr);
    const QByteArray result(real);
    std::free(real);
    return result;
}

// The path with its parent folder resolved but never its last part, which may be a link.
QByteArray Located(const QByteArray& path) {
    const QByteArray parent = RealPath(NativeParentOf(path));
    return parent.isEmpty() ? parent : Join(parent, NameOf(path));
}

bool Within(const QByteArray& path, const QByteArray& folder) {
    return !folder.isEmpty() && (path == folder || path.startsWith(Join(folder, {})));
}

// A folder made with mode 0700 unless one is there; a link to one counts only when `mayBeLink`.
bool MakeFolder(const QByteArray& path, bool mayBeLink = false) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    const int found = mayBeLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    return found == 0 && S_ISDIR(st.st_mode);
}

// In a folder others may write to, a trash of ours must be a real folder we own.
bool MakeOwnFolder(const QByteArray& path) {
    struct stat st {};
    return MakeFolder(path) && ::lstat(path.constData(), &st) == 0 && st.st_uid == ::getuid();
}

bool MakeParts(const QByteArray& trash) {
    return MakeFolder(trash + "/files") && MakeFolder(trash + "/info");
}

struct TrashFolder {
    QByteArray folder;  // holds files/ and info/
    QByteArray top;     // the volume's top folder for a volume's trash, empty for the home trash
};

// Empty when the environment names no absolute home.
QByteArray HomeTrash() {
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) {
        const QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/')) return {};
        data = Join(home, ".local/share");
    }
    return Join(data, "Trash");
}

// The device a path would be on, through its nearest existing ancestor.
dev_t DeviceOf(QByteArray path) {
    struct stat st {};
    while (::stat(path.constData(), &st) != 0 && path != "/") path = NativeParentOf(path);
    return st.st_dev;
}

std::optional<TrashFolder> TrashFor(const QByteArray& parent, dev_t device) {
    if (const QByteArray home = HomeTrash(); !home.isEmpty() && DeviceOf(home) == device) {
        for (qsizetype slash = home.indexOf('/', 1); slash > 0; slash = home.indexOf('/', slash + 1))
            ::mkdir(home.left(slash).constData(), 0700);
        if (MakeFolder(home, true) && MakeParts(home)) return TrashFolder{home, {}};
        return std::nullopt;
    }
    struct stat st {};
    QByteArray top = parent;
    if (::stat(top.constData(), &st) != 0 || st.st_dev != device) return std::nullopt;
    while (top != "/") {
        const QByteArray up = NativeParentOf(top);
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device) break;
        top = up;
    }
    const QByteArray uid = QByteArray::number(::getuid());
    // A shared .Trash counts only as a real sticky folder, so others cannot steal or replace ours.
    const QByteArray shared = Join(top, ".Trash");
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        MakeOwnFolder(Join(shared, uid)) && MakeParts(Join(shared, uid)))
        return TrashFolder{Join(shared, uid), top};
    const QByteArray own = Join(top, ".Trash-" + uid);
    if (MakeOwnFolder(own) && MakeParts(own)) return TrashFolder{own, top};
    return std::nullopt;
}

// Creates the info file under a name free in both info/ and files/: 0 with `name` and `fd`
// set, or an errno.
int Reserve(const QByteArray& trash, const QByteArray& entryName, QByteArray& name, int& fd) {
    constexpr qsizetype kInfoSuffix = sizeof(".trashinfo") - 1;
    for (int n = 1; n < 100000; ++n) {
        const QByteArray suffix = n == 1 ? QByteArray() : "." + QByteArray::number(n);
        name = entryName.left(NAME_MAX - kInfoSuffix - suffix.size()) + suffix;
        const QByteArray info = trash + "/info/" + name + ".trashinfo";
        fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return errno;
        if (fd < 0) continue;
        struct stat st {};
        if (::lstat((trash + "/files/" + name).constData(), &st) != 0 && errno == ENOENT) return 0;
        ::close(fd);
        ::unlink(info.constData());
    }
    return EEXIST;
}

int WriteAndClose(int fd, const QByteArray& text) {
    int error = 0;
    for (qsizetype done = 0; done < text.size() && !error;) {
        const ssize_t wrote = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (wrote >= 0) done += wrote;
        else if (errno != EINTR) error = errno;
    }
    if (::close(fd) != 0 && !error && errno != EINTR) error = errno;
    return error;
}

}  // namespace

TrashOutcome MoveToTrash(const QString& path) {
    const QByteArray entry = NativePath(path);
    struct stat st {};
    if (::lstat(entry.constData(), &st) != 0) return {TrashResult::Failed, errno};
    const QByteArray entryName = NameOf(entry);
    if (entryName.isEmpty() || entryName == "." || entryName == "..")
        return {TrashResult::Failed, EINVAL};
    const QByteArray parent = RealPath(NativeParentOf(entry));
    if (parent.isEmpty()) return {TrashResult::Failed, errno};
    const QByteArray absolute = Join(parent, entryName);

    const std::optional<TrashFolder> trash = TrashFor(parent, st.st_dev);
    if (!trash) return {TrashResult::NoTrash};
    // The home trash may be a link: the entry must be neither it nor inside where it leads.
    if (Within(absolute, Located(trash->folder)) || Within(absolute, RealPath(trash->folder)))
        return {TrashResult::Failed, EINVAL};

    QByteArray name;
    int fd = -1;
    if (const int error = Reserve(trash->folder, entryName, name, fd))
        return {TrashResult::Failed, error};
    const QByteArray info = trash->folder + "/info/" + name + ".trashinfo";
    const QByteArray original =
        trash->top.isEmpty() ? absolute : absolute.mid(Join(trash->top, {}).size());
    const QByteArray text =
        "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString("yyyy-MM-dd'T'HH:mm:ss").toLatin1() + "\n";
    int error = WriteAndClose(fd, text);
    if (!error && ::rename(entry.constData(), (trash->folder + "/files/" + name).constData()) == 0)
        return {TrashResult::Moved};
    if (!error) error = errno;
    ::unlink(info.constData());
    // Another volume mounted below the trash's: nothing moved, and nothing may be copied.
    if (error == EXDEV) return {TrashResult::NoTrash};
    return {TrashResult::Failed, error};
}
