#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// System error codes the program tells apart, as the PC's file calls report them.
inline constexpr int kPcSuccess = 0;
inline constexpr int kPcFileNotFound = 2;
inline constexpr int kPcPathNotFound = 3;
inline constexpr int kPcAccessDenied = 5;
inline constexpr int kPcNotSameDevice = 17;
inline constexpr int kPcFileExists = 80;
inline constexpr int kPcDiskFull = 112;
inline constexpr int kPcFolderNotEmpty = 145;
inline constexpr int kPcAlreadyExists = 183;
inline constexpr int kPcGeneralFailure = 31;
inline constexpr int kPcNotSupported = 50;  // here: the volume has no Trash
inline constexpr int kPcHandleEof = 38;     // a file ends before the bytes asked of it

// The most a range copy holds in memory at once.
inline constexpr qsizetype kCopyChunkBytes = 256 * 1024;

// What a range copy does to each chunk before it is written; `offset` is where the chunk's
// first byte lies within the range. Answers 0, or a system error code that ends the copy.
using ChunkFilter = std::function<int(char* bytes, qsizetype count, qint64 offset)>;

// Whether a written file must outlast a crash of the PC, or is a scratch copy deleted right
// after use, which a crash may lose and so needs no sync. Either way it appears whole or not.
enum class Durability { Kept, Scratch };

// One entry of a PC folder listing.
struct PcEntry {
    QString name;
    bool folder = false;
    bool symbolicLink = false;  // a walk never follows one into a folder
    bool hidden = false;        // a dot-name
    bool system = false;        // a socket, pipe or device
    qint64 size = 0;
    QDateTime modified;

    // A folder of its own, not a link to one: what a walk or a copy goes into.
    bool IsRealFolder() const { return folder && !symbolicLink; }
};

// How much a listing tells of each entry: everything, or only its name and kind (folder,
// link, hidden, system), which a large folder lists much faster.
enum class ListDetail { Full, Kinds };

// Keeps a walk below one folder from following symbolic links for as long as it lives.
class WalkConfinement {
public:
    virtual ~WalkConfinement() = default;
};

// The PC's files with the semantics the program relies on: a move never replaces an existing
// file, a folder removal only removes an empty folder, a copy appears whole or not at all, and
// a symbolic link is copied, moved, renamed and deleted as itself, never through.
// Every operation answers 0 or a system error code.
class PcFileSystem {
public:
    virtual ~PcFileSystem() = default;

    // The entries of a folder, without "." and ".."; none when it cannot be enumerated.
    virtual std::optional<QList<PcEntry>> List(const QString& folder,
                                               ListDetail detail = ListDetail::Full) = 0;
    // The entry a path names, without following a final symbolic link; none when it is absent.
    virtual std::optional<PcEntry> Stat(const QString& path) = 0;
    // A link is copied as a link to the same place.
    virtual int CopyFile(const QString& from, const QString& to, bool failIfExists) = 0;
    // Copies files (links as links) as CopyFile(from, to, false) does, in order, stopping after
    // the first that fails. `before(i)` comes before file i is read (false: stop there);
    // `after(i, code)` once it has its name or failed, for every file `before` let through.
    // The files may take their names together, after their bytes are on disk together,
    // which costs a folder of small files one wait for the disk rather than one a file.
    virtual void CopyFiles(const QList<std::pair<QString, QString>>& copies,
                           const std::function<bool(qsizetype)>& before,
                           const std::function<void(qsizetype, int)>& after);
    virtual int MoveFile(const QString& from, const QString& to) = 0;
    virtual int DeleteFile(const QString& path) = 0;
    virtual int CreateFolder(const QString& path) = 0;
    virtual int RemoveFolder(const QString& path) = 0;
    virtual int ReadWholeFile(const QString& path, QByteArray& content) = 0;
    // At most `maxBytes` of a file from `offset` on, fewer where it ends, and the size the file
    // had when it was read.
    virtual int ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes,
                             QByteArray& content, qint64& fileSize) = 0;
    // Writes the `size` bytes of `from` that start at `offset` to the file `to`, replacing it,
    // one chunk of at most kCopyChunkBytes at a time through `filter`; `to` is whole or as it
    // was. kPcHandleEof when `from` ends before the range does.
    virtual int CopyFileRange(const QString& from, qint64 offset, qint64 size, const QString& to,
                              const ChunkFilter& filter = {},
                              Durability durability = Durability::Kept) = 0;
    // Writes through a temporary name beside the file, so the file is whole or untouched.
    virtual int WriteWholeFile(const QString& path, const QByteArray& content,
                               Durability durability = Durability::Kept) = 0;
    // The bytes free for the user on the volume of `folder`; none when it cannot be told.
    virtual std::optional<qint64> FreeBytes(const QString& folder) = 0;
    // Moves a file, a link or a whole folder to the Trash of its volume; kPcNotSupported when
    // that volume has none.
    virtual int MoveToTrash(const QString& path) = 0;
    // A free hidden name beside `path` for content on its way there, which a later copy into
    // that folder removes if the process that chose it died before it was done.
    virtual QString TemporaryNameBeside(const QString& path) = 0;
    // While the answer lives, every call on a path below `top` reaches it through folders
    // opened one by one without following a link, so a folder that is swapped for a link
    // after a walk listed it is never followed. `top` itself need not exist yet.
    virtual std::unique_ptr<WalkConfinement> ConfineWalk(const QString& top) = 0;
};

// Whether `name` can name an entry of a PC folder: not empty, not "." or "..", without "/" or
// NUL.
bool IsPcFileName(const QString& name);
// Whether `name` can be one component of a path on either side: not empty, not "." or "..",
// and without "/", "\" or NUL, so that nothing lands outside the folder it is meant for.
bool IsPlainFileName(const QString& name);

// Whether no process of that id runs any more.
bool IsProcessGone(qint64 pid);

