#pragma once

#include "platform/PcFileSystem.h"

#include <QStringList>
#include <functional>
#include <vector>

// The real file system with the failures a test run as root cannot cause scripted in, and
// every call recorded.
class ScriptedFileSystem final : public PcFileSystem {
public:
    enum class Operation {
        List,
        Stat,
        CopyFile,
        MoveFile,
        DeleteFile,
        CreateFolder,
        RemoveFolder,
        ReadWholeFile,
        WriteWholeFile,
        MoveToTrash,
        ReadFilePart,
        CopyFileRange,
        CopyChunk,  // one chunk of a CopyFileRange, by its source and target
    };

    // Each call of `op` with a path containing `pathPart` past the first `afterCalls` such
    // calls answers `code` (List and Stat answer none) without touching the disk; a CopyChunk
    // failure ends its copy part-way, as a failing disk would.
    void Fail(Operation op, const QString& pathPart, int code, int afterCalls = 0);

    std::optional<QList<PcEntry>> List(const QString& folder,
                                       ListDetail detail = ListDetail::Full) override;
    std::optional<PcEntry> Stat(const QString& path) override;
    int CopyFile(const QString& from, const QString& to, bool failIfExists) override;
    // The real batch, each file recorded as a CopyFile as it starts; one CopyFile after the
    // other, each through the script, once any CopyFile failure is scripted.
    void CopyFiles(const QList<std::pair<QString, QString>>& copies,
                   const std::function<bool(qsizetype)>& before,
                   const std::function<void(qsizetype, int)>& after) override;
    int MoveFile(const QString& from, const QString& to) override;
    int DeleteFile(const QString& path) override;
    int CreateFolder(const QString& path) override;
    int RemoveFolder(const QString& path) override;
    int ReadWholeFile(const QString& path, QByteArray& content) override;
    int WriteWholeFile(const QString& path, const QByteArray& content,
                       Durability durability = Durability::Kept) override;
    std::optional<qint64> FreeBytes(const QString& folder) override;
    int ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes, QByteArray& content,
                     qint64& fileSize) override;
    int CopyFileRange(const QString& from, qint64 offset, qint64 size, const QString& to,
                      const ChunkFilter& filter = {},
                      Durability durability = Durability::Kept) override;
    int MoveToTrash(const QString& path) override;
    QString TemporaryNameBeside(const QString& path) override;
    std::unique_ptr<WalkConfinement> ConfineWalk(const QString& top) override;

    QStringList calls;  // "CopyFile a -> b", "List a" ... in order
    std::optional<qint64> freeBytes;  // what FreeBytes answers instead of the disk's figure
    // Runs once a listing is taken, to change the disk before the caller acts on it.
    std::function<void(const QString& folder)> afterList;

private:
    struct Failure {
        Operation op;
        QString pathPart;
        int code;
        int passes;  // matching calls still let through
    };

    // Records the call; the scripted code, or none to hand it to the real file system.
    std::optional<int> Scripted(Operation op, const QString& call, const QString& path,
                                const QString& other = QString());

    std::vector<Failure> failures_;
};
