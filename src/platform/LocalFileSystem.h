#pragma once

#include "platform/PcFileSystem.h"

#include <QByteArray>
#include <QSet>
#include <vector>

// The PC's own files, through POSIX calls, answering as the Windows file calls would.
class LocalFileSystem final : public PcFileSystem {
public:
    struct Options {
        // Without the kernel's no-replace rename the layer falls back to a hard link, as it
        // must on file systems that refuse the flag.
        bool noReplaceRename = true;
        // Without unnamed files a copy is written under a temporary name beside its target.
        bool unnamedFiles = true;
        // Without it a copy reads and writes every byte itself, as it must where the kernel
        // can neither share extents nor copy between the two file systems.
        bool kernelCopy = true;
    };
    LocalFileSystem() : LocalFileSystem(Options{}) {}
    explicit LocalFileSystem(Options options) : options_(options) {}
    ~LocalFileSystem() override;

    std::optional<QList<PcEntry>> List(const QString& folder,
                                       ListDetail detail = ListDetail::Full) override;
    std::optional<PcEntry> Stat(const QString& path) override;
    int CopyFile(const QString& from, const QString& to, bool failIfExists) override;
    void CopyFiles(const QList<std::pair<QString, QString>>& copies,
                   const std::function<bool(qsizetype)>& before,
                   const std::function<void(qsizetype, int)>& after) override;
    int MoveFile(const QString& from, const QString& to) override;
    int DeleteFile(const QString& path) override;
    int CreateFolder(const QString& path) override;
    int RemoveFolder(const QString& path) override;
    int ReadWholeFile(const QString& path, QByteArray& content) override;
    int ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes, QByteArray& content,
                     qint64& fileSize) override;
    int CopyFileRange(const QString& from, qint64 offset, qint64 size, const QString& to,
                      const ChunkFilter& filter = {},
                      Durability durability = Durability::Kept) override;
    int WriteWholeFile(const QString& path, const QByteArray& content,
                       Durability durability = Durability::Kept) override;
    std::optional<qint64> FreeBytes(const QString& folder) override;
    int MoveToTrash(const QString& path) override;
    QString TemporaryNameBeside(const QString& path) override;
    std::unique_ptr<WalkConfinement> ConfineWalk(const QString& top) override;

    // Where a path is reached: a folder descriptor (or AT_FDCWD) and a name in it.
    struct Location {
        Location() = default;
        Location(Location&& other) noexcept;
        Location& operator=(Location&&) = delete;
        ~Location();

        int folder = -1;
        QByteArray name;
        int error = 0;  // an errno when a folder on the way could not be opened
        bool confined = false;
        int ownedFolder = -1;  // closed with the location
    };

    class Confinement;
    struct PendingCopy;

private:
    // CopyFile; a plain file replacing its target is handed to `hold` whole but unnamed, not
    // yet synced, when there is one.
    int CopyOne(const QString& from, const QString& to, bool failIfExists,
                std::vector<PendingCopy>* hold);
    Location Locate(const QByteArray& path);
    // The folder descriptors of confined walks at or below `path` are of no further use.
    void Forget(const QByteArray& path);
    // 0 or the errno; EEXIST when `to` exists, which is then left as it was.
    int RenameNoReplace(const Location& from, const Location& to) const;
    // Removes what dead processes left of their temporary files in a folder, once a run.
    void SweepLeftovers(int folder);

    Options options_;
    std::vector<Confinement*> confinements_;
    QSet<QByteArray> swept_;  // folders by device and inode
};

// The real file system.
PcFileSystem& LocalFiles();
