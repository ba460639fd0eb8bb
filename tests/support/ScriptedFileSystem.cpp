#include "support/ScriptedFileSystem.h"

#include "platform/LocalFileSystem.h"

#include <algorithm>

void ScriptedFileSystem::Fail(Operation op, const QString& pathPart, int code, int afterCalls) {
    failures_.push_back({op, pathPart, code, afterCalls});
}

std::optional<int> ScriptedFileSystem::Scripted(Operation op, const QString& call,
                                                const QString& path, const QString& other) {
    calls << call;
    std::optional<int> code;
    // Every matching failure counts the call, so each one's afterCalls holds on its own.
    for (Failure& failure : failures_) {
        if (failure.op != op) continue;
        if (!path.contains(failure.pathPart) && !other.contains(failure.pathPart)) continue;
        if (failure.passes > 0) {
            --failure.passes;
        } else if (!code) {
            code = failure.code;
        }
    }
    return code;
}

std::optional<QList<PcEntry>> ScriptedFileSystem::List(const QString& folder, ListDetail detail) {
    if (Scripted(Operation::List, "List " + folder, folder)) return std::nullopt;
    auto entries = LocalFiles().List(folder, detail);
    if (afterList) afterList(folder);
    return entries;
}

std::optional<PcEntry> ScriptedFileSystem::Stat(const QString& path) {
    if (Scripted(Operation::Stat, "Stat " + path, path)) return std::nullopt;
    return LocalFiles().Stat(path);
}

int ScriptedFileSystem::CopyFile(const QString& from, const QString& to, bool failIfExists) {
    if (const auto code = Scripted(Operation::CopyFile, "CopyFile " + from + " -> " + to, from, to))
        return *code;
    return LocalFiles().CopyFile(from, to, failIfExists);
}

void ScriptedFileSystem::CopyFiles(const QList<std::pair<QString, QString>>& copies,
                                   const std::function<bool(qsizetype)>& before,
                                   const std::function<void(qsizetype, int)>& after) {
    const bool scripted = std::any_of(failures_.begin(), failures_.end(), [](const Failure& f) {
        return f.op == Operation::CopyFile;
    });
    if (scripted) {
        PcFileSystem::CopyFiles(copies, before, after);
        return;
    }
    const auto recorded = [&](qsizetype i) {
        if (!before(i)) return false;
        calls << "CopyFile " + copies[i].first + " -> " + copies[i].second;
        return true;
    };
    LocalFiles().CopyFiles(copies, recorded, after);
}

int ScriptedFileSystem::MoveFile(const QString& from, const QString& to) {
    if (const auto code = Scripted(Operation::MoveFile, "MoveFile " + from + " -> " + to, from, to))
        return *code;
    return LocalFiles().MoveFile(from, to);
}

int ScriptedFileSystem::DeleteFile(const QString& path) {
    if (const auto code = Scripted(Operation::DeleteFile, "DeleteFile " + path, path)) return *code;
    return LocalFiles().DeleteFile(path);
}

int ScriptedFileSystem::CreateFolder(const QString& path) {
    if (const auto code = Scripted(Operation::CreateFolder, "CreateFolder " + path, path))
        return *code;
    return LocalFiles().CreateFolder(path);
}

int ScriptedFileSystem::RemoveFolder(const QString& path) {
    if (const auto code = Scripted(Operation::RemoveFolder, "RemoveFolder " + path, path))
        return *code;
    return LocalFiles().RemoveFolder(path);
}

int ScriptedFileSystem::ReadWholeFile(const QString& path, QByteArray& content) {
    if (const auto code = Scripted(Operation::ReadWholeFile, "ReadWholeFile " + path, path)) {
        content.clear();
        return *code;
    }
    return LocalFiles().ReadWholeFile(path, content);
}

int ScriptedFileSystem::WriteWholeFile(const QString& path, const QByteArray& content,
                                       Durability durability) {
    if (const auto code = Scripted(Operation::WriteWholeFile, "WriteWholeFile " + path, path))
        return *code;
    return LocalFiles().WriteWholeFile(path, content, durability);
}

int ScriptedFileSystem::ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes,
                                     QByteArray& content, qint64& fileSize) {
    if (const auto code = Scripted(Operation::ReadFilePart,
                                   QStringLiteral("ReadFilePart %1 %2+%3").arg(path).arg(offset).arg(maxBytes),
                                   path)) {
        content.clear();
        fileSize = 0;
        return *code;
    }
    return LocalFiles().ReadFilePart(path, offset, maxBytes, content, fileSize);
}

int ScriptedFileSystem::CopyFileRange(const QString& from, qint64 offset, qint64 size,
                                      const QString& to, const ChunkFilter& filter,
                                      Durability durability) {
    const QString range = QStringLiteral("%1+%2").arg(offset).arg(size);
    if (const auto code = Scripted(Operation::CopyFileRange,
                                   "CopyFileRange " + from + " " + range + " -> " + to, from, to))
        return *code;
    return LocalFiles().CopyFileRange(
        from, offset, size, to, [&](char* bytes, qsizetype count, qint64 at) {
            if (const auto code = Scripted(Operation::CopyChunk,
                                           QStringLiteral("CopyChunk %1+%2").arg(at).arg(count),
                                           from, to))
                return *code;
            return filter ? filter(bytes, count, at) : 0;
        },
        durability);
}

int ScriptedFileSystem::MoveToTrash(const QString& path) {
    if (const auto code = Scripted(Operation::MoveToTrash, "MoveToTrash " + path, path))
        return *code;
    return LocalFiles().MoveToTrash(path);
}

QString ScriptedFileSystem::TemporaryNameBeside(const QString& path) {
    return LocalFiles().TemporaryNameBeside(path);
}

std::unique_ptr<WalkConfinement> ScriptedFileSystem::ConfineWalk(const QString& top) {
    return LocalFiles().ConfineWalk(top);
}

std::optional<qint64> ScriptedFileSystem::FreeBytes(const QString& folder) {
    return freeBytes ? freeBytes : LocalFiles().FreeBytes(folder);
}
