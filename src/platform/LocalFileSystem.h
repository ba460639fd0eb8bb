#pragma once

#include "platform/PcFileSystem.h"

// The PC's own files, through POSIX calls, answering as the Windows file calls would.
class LocalFileSystem final : public PcFileSystem {
public:
    // Without the kernel's no-replace rename the layer falls back to a hard link, as it must on
    // file systems that refuse the flag; tests turn it off to reach that path.
    explicit LocalFileSystem(bool noReplaceRename = true) : noReplaceRename_(noReplaceRename) {}

    std::optional<QList<PcEntry>> List(const QString& folder,
                                       ListDetail detail = ListDetail::Full) override;
    std::optional<PcEntry> Stat(const QString& path) override;
    int CopyFile(const QString& from, const QString& to, bool failIfExists) override;
    int MoveFile(const QString& from, const QString& to) override;
    int DeleteFile(const QString& path) override;
    int CreateFolder(const QString& path) override;
    int RemoveFolder(const QString& path) override;
    int ReadWholeFile(const QString& path, QByteArray& content) override;
    int WriteWholeFile(const QString& path, const QByteArray& content) override;

private:
    // 0 or the errno; EEXIST when `to` exists, which is then left as it was.
    int RenameNoReplace(const QByteArray& from, const QByteArray& to) const;

    bool noReplaceRename_;
};
