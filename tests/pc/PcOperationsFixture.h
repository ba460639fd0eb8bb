#pragma once

#include "core/Services.h"
#include "link/ConnectionSettings.h"
#include "platform/Progress.h"
#include "support/RecordingClock.h"
#include "support/ScriptedFileSystem.h"
#include "support/ScriptedPrompter.h"
#include "support/TempBench.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <functional>

// Everything below a folder by relative path: a file's content, "<folder>" for a folder.
using FileTree = QMap<QString, QByteArray>;

inline FileTree Snapshot(const QString& root) {
    FileTree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray& value = tree[QDir(root).relativeFilePath(info.filePath())];
        if (info.isDir()) {
            value = "<folder>";
        } else {
            QFile file(info.filePath());
            value = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
        }
    }
    return tree;
}

// The same on one line, in path order: "A.TXT=a SUB/ SUB/B.TXT=b".
inline QString Listing(const QString& root) {
    QStringList parts;
    const FileTree tree = Snapshot(root);
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        parts << (it.value() == "<folder>" ? it.key() + "/" : it.key() + "=" + it.value());
    }
    return parts.join(' ');
}

// Records each file an operation reports, can stop it at the n-th, and can change the world
// just before a file.
class ScriptedProgress final : public ProgressObserver {
public:
    bool BeforeFile(const QString& from, const QString& to, qint64) override {
        before << from + " -> " + to;
        if (onBefore) onBefore(static_cast<int>(before.size()));
        return static_cast<int>(before.size()) != cancelAt;
    }
    void AfterFile(qint64 bytes) override { after << bytes; }

    QStringList before;
    QList<qint64> after;
    int cancelAt = 0;  // 0: never
    std::function<void(int)> onBefore;
};

// A temporary PC folder, a bench with one terminal "t" on COM3, and the services an operation
// takes, each of them scripted.
class PcOperationsTest : public ::testing::Test {
protected:
    PcOperationsTest() { bench.Add(kTerminal); }

    QString Pc(const QString& relative) const { return pc.path() + "/" + relative; }
    void WritePc(const QString& relative, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(Pc(relative)).path());
        QFile file(Pc(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray ReadPc(const QString& relative) const {
        QFile file(Pc(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }
    bool ExistsPc(const QString& relative) const { return QFileInfo::exists(Pc(relative)); }

    // A path on the terminal's drives, such as "C/DATA/X.TXT".
    void WriteTerminal(const std::string& path, const std::string& content) {
        bench.WriteFile(kTerminal.folder, path, content);
    }
    QString TerminalFolder(const QString& path) const {
        return bench.Path() + "/" + QString::fromStdString(kTerminal.folder) + "/" + path;
    }
    bool ExistsOnTerminal(const QString& path) const {
        return QFileInfo::exists(TerminalFolder(path));
    }
    // The terminal stops answering, as when its cable is pulled.
    void SwitchTerminalOff() {
        BenchTerminal off = kTerminal;
        off.offline = true;
        bench.Add(off);
    }

    const BenchTerminal kTerminal{.folder = "t", .port = "COM3"};
    QTemporaryDir pc;
    TempBench bench;
    ScriptedPrompter prompter;
    RecordingClock clock;
    ScriptedFileSystem files;
    ScriptedProgress progress;
    Services services{bench.Library(), prompter, clock, files, progress};
    ConnectionSettings settings{"COM3", 6, "", ""};
};

// After any paste, however it ended: every file at the destination is a whole copy of its
// source, nothing is left half-written beside it, and every source file that is gone arrived
// whole. `before` is the source folder before the paste, `source` and `dest` the folder itself
// and where it was pasted to.
inline void ExpectNothingLost(const FileTree& before, const QString& source, const QString& dest) {
    const FileTree sourceAfter = Snapshot(source);
    const FileTree destAfter = Snapshot(dest);
    for (auto it = destAfter.begin(); it != destAfter.end(); ++it) {
        EXPECT_FALSE(it.key().contains(".tarvik-")) << "left behind: " << it.key().toStdString();
        EXPECT_TRUE(before.contains(it.key())) << "not from the source: " << it.key().toStdString();
        EXPECT_EQ(it.value(), before.value(it.key())) << "not whole: " << it.key().toStdString();
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.value() == "<folder>") continue;
        if (sourceAfter.contains(it.key())) {
            EXPECT_EQ(sourceAfter.value(it.key()), it.value()) << it.key().toStdString();
        } else {
            EXPECT_EQ(destAfter.value(it.key()), it.value())
                << "deleted without a whole copy: " << it.key().toStdString();
        }
    }
}
