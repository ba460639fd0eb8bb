#pragma once

#include "core/Services.h"
#include "link/ConnectionSettings.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "support/OwnJournal.h"
#include "support/RecordingClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TempBench.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <map>

// Failures show texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Records what an operation tells about its files; `onBefore` sees the count of files
// announced so far and answers whether to go on.
class RecordingProgress final : public ProgressObserver {
public:
    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override {
        announced << from + " -> " + to;
        announcedBytes << bytes;
        return onBefore ? onBefore(static_cast<int>(announced.size())) : true;
    }
    void AfterFile(qint64 bytes) override { finishedBytes << bytes; }

    QStringList announced;
    QList<qint64> announcedBytes;
    QList<qint64> finishedBytes;
    std::function<bool(int)> onBefore;
};

// One emulated terminal "t1" on COM3 and a temporary PC folder, with every service recorded.
class TerminalOperationFixture : public ::testing::Test {
public:
    static constexpr char kTerminal[] = "t1";

    TerminalOperationFixture() { SetTerminal(); }

    static QStringList Journaled() { return OwnJournal::Lines(); }

    // (Re)writes the terminal's terminal.ini.
    void SetTerminal(const std::string& drives = "C:2048 D:4096", bool offline = false) {
        bench.Add({.folder = kTerminal, .port = "COM3", .drives = drives, .offline = offline});
    }

    Services MakeServices(PcFileSystem& files = LocalFiles()) {
        return {bench.Library(), prompter, clock, files, progress};
    }

    QString Pc(const QString& relative) const { return pc.path() + "/" + relative; }
    void WritePc(const QString& relative, const QByteArray& content) {
        QDir().mkpath(QFileInfo(Pc(relative)).path());
        QFile file(Pc(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        originals[relative] = content;
    }
    bool PcExists(const QString& relative) const { return QFileInfo::exists(Pc(relative)); }

    // Where a terminal path lies in the bench: "C/DATA/X.TXT" for C:\DATA\X.TXT.
    QString OnTerminal(const QString& relative) const { return terminalFolder + "/" + relative; }
    std::optional<QByteArray> ReadTerminal(const QString& relative) const {
        QFile file(OnTerminal(relative));
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll();
    }
    void MakeBenchFolder(const QString& relative) { QDir().mkpath(OnTerminal(relative)); }

    // Every file on the terminal's drives, as bench paths, temporaries included.
    QStringList TerminalFiles() const {
        QStringList files;
        const QDir terminal(terminalFolder);
        for (const char* drive : {"C", "D", "E"}) {
            QDirIterator it(terminal.filePath(drive), QDir::Files | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) files << terminal.relativeFilePath(it.next());
        }
        files.sort();
        return files;
    }

    // The PC side lost nothing: every file the test wrote is either on the PC as written, or
    // whole on the terminal at `terminalBase` + its PC-relative path. No file on the terminal
    // is half-written: every one that came from the PC matches its original, and no
    // temporary is left behind.
    void ExpectNothingLost(const QString& terminalBase) const {
        for (const QString& file : TerminalFiles()) {
            EXPECT_FALSE(QFileInfo(file).fileName().startsWith('.'))
                << "temporary " << file.toStdString();
            if (!file.startsWith(terminalBase + "/")) continue;
            const auto original = originals.find(file.mid(terminalBase.size() + 1));
            if (original == originals.end()) continue;
            EXPECT_EQ(ReadTerminal(file), original->second) << file.toStdString();
        }
        for (const auto& [relative, content] : originals) {
            QFile file(Pc(relative));
            if (file.open(QIODevice::ReadOnly)) {
                EXPECT_EQ(file.readAll(), content) << relative.toStdString();
            } else if (!vanished.contains(relative)) {
                EXPECT_EQ(ReadTerminal(terminalBase + "/" + relative), content)
                    << relative.toStdString() << " left the PC without a whole copy";
            }
        }
    }

    OwnJournal journal;
    TempBench bench;
    QString terminalFolder = bench.Path() + "/" + kTerminal;
    ScriptedPrompter prompter;
    RecordingClock clock;
    RecordingProgress progress;
    QTemporaryDir pc;
    ConnectionSettings settings{"COM3", 6, "", "10000042"};
    std::map<QString, QByteArray> originals;  // what each PC file held when the test wrote it
    QStringList vanished;                     // PC files the test itself took away
};
