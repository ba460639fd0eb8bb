#pragma once

#include "core/Services.h"
#include "link/ConnectionSettings.h"
#include "link/TerminalLibrary.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "project/ProjectFile.h"
#include "project/ProjectPack.h"
#include "support/OwnJournal.h"
#include "support/RecordingClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TempBench.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

// The library calls a project transfer makes, recorded as text, while another library (a
// bench) answers them. PC paths are shown by their file name alone.
class RecordingLibrary final : public TerminalLibrary {
public:
    explicit RecordingLibrary(TerminalLibrary& inner) : inner_(inner) {}

    uint32_t TpOpen(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
                    int32_t h, int32_t i) override {
        const uint32_t handle = inner_.TpOpen(a, b, c, d, e, f, g, h, i);
        calls << QStringLiteral("TpOpen %1 -> %2").arg(b).arg(handle != 0 ? "link" : "none");
        return handle;
    }
    int32_t TpClose(uint32_t handle) override {
        calls << "TpClose";
        return inner_.TpClose(handle);
    }
    uint32_t TpUsbCount() override { return inner_.TpUsbCount(); }
    int32_t TpUsbNameLength() override { return inner_.TpUsbNameLength(); }
    int32_t TpUsbName(int32_t index, char* buffer, int32_t* size) override {
        return inner_.TpUsbName(index, buffer, size);
    }
    int32_t TpSetMode(int32_t mode) override { return inner_.TpSetMode(mode); }
    int32_t TpDiskInfo(uint32_t h, const char* drive, int32_t* a, int32_t* b, int32_t* c) override {
        calls << QStringLiteral("TpDiskInfo %1").arg(drive);
        return inner_.TpDiskInfo(h, drive, a, b, c);
    }
    int32_t TpListDir(uint32_t h, const char* folder, int32_t* count, uint8_t* buffer,
                      int32_t* size) override {
        calls << QStringLiteral("TpListDir %1").arg(folder);
        return inner_.TpListDir(h, folder, count, buffer, size);
    }
    int32_t TpFormatDisk(uint32_t h, const char* drive) override { return inner_.TpFormatDisk(h, drive); }
    int32_t TpMakeDir(uint32_t h, const char* folder) override {
        const int32_t rc = inner_.TpMakeDir(h, folder);
        calls << QStringLiteral("TpMakeDir %1 = %2").arg(folder).arg(rc);
        return rc;
    }
    int32_t TpRemoveDir(uint32_t h, const char* folder) override { return inner_.TpRemoveDir(h, folder); }
    int32_t TpRename(uint32_t h, const char* from, const char* to) override {
        return inner_.TpRename(h, from, to);
    }
    int32_t TpDeleteFile(uint32_t h, const char* path) override { return inner_.TpDeleteFile(h, path); }
    int32_t TpGetFile(uint32_t h, const char* terminal, const char* pc, int32_t flag) override {
        calls << QStringLiteral("TpGetFile %1 %2 %3").arg(terminal, Name(pc)).arg(flag);
        return inner_.TpGetFile(h, terminal, pc, flag);
    }
    int32_t TpPutFile(uint32_t h, const char* pc, const char* terminal, int32_t a, int32_t b) override {
        // The staged bytes, as they were when they left for the terminal.
        QFile staged(QString::fromLocal8Bit(pc));
        if (staged.open(QIODevice::ReadOnly)) sent << staged.readAll();
        calls << QStringLiteral("TpPutFile %1 %2 %3 %4").arg(Name(pc), terminal).arg(a).arg(b);
        return inner_.TpPutFile(h, pc, terminal, a, b);
    }
    int32_t TpGetInfo(uint32_t h, char* a, char* b, char* c, char* d, char* e, char* f, char* g,
                      char* i) override {
        calls << "TpGetInfo";
        return inner_.TpGetInfo(h, a, b, c, d, e, f, g, i);
    }
    int32_t TpUpgradeFirmware(uint32_t h, const char* image, int32_t flag) override {
        return inner_.TpUpgradeFirmware(h, image, flag);
    }
    int32_t CommPortCount() override { return inner_.CommPortCount(); }
    int32_t CommPortNameLength() override { return inner_.CommPortNameLength(); }
    int32_t CommPortName(int32_t index, char* buffer, int32_t* length) override {
        return inner_.CommPortName(index, buffer, length);
    }
    std::string WatchFolder() override { return inner_.WatchFolder(); }

    // The calls whose text starts with `prefix`.
    QStringList Calls(const QString& prefix) const {
        QStringList matching;
        for (const QString& call : calls) {
            if (call.startsWith(prefix)) matching << call;
        }
        return matching;
    }

    QStringList calls;
    QList<QByteArray> sent;

private:
    static QString Name(const char* pcPath) { return QFileInfo(QString::fromLocal8Bit(pcPath)).fileName(); }

    TerminalLibrary& inner_;
};

// Records what a transfer tells of its files; `onBefore` sees the count announced so far and
// answers whether to go on.
class ProgressRecord final : public ProgressObserver {
public:
    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override {
        announced << QStringLiteral("%1 -> %2 (%3)").arg(from, to).arg(bytes);
        return onBefore ? onBefore(static_cast<int>(announced.size())) : true;
    }
    void AfterFile(qint64 bytes) override { finished << bytes; }

    QStringList announced;
    QList<qint64> finished;
    std::function<bool(int)> onBefore;
};

// A project file as a packer that checks nothing would write it: entry lines without
// requirements, then the members, a program scrambled.
inline QByteArray RawProject(const std::vector<PackMember>& members) {
    QByteArray header;
    QByteArray data;
    for (const PackMember& member : members) {
        header += "[Info]" + QByteArray::fromStdString(member.terminalPath) + ',' +
                  QByteArray::number(member.content.size()) + "\r\n";
        QByteArray content = member.content;
        if (MemberKindOf(member.terminalPath) == MemberKind::Program) ScrambleProgram(content);
        data += content;
    }
    return header + data;
}

// A terminal bench, a data folder and the services a project transfer is given, with the
// library calls recorded.
class ProjectBenchTest : public ::testing::Test {
protected:
    ProjectBenchTest() { QDir().mkpath(dataFolder); }

    Services MakeServices(PcFileSystem& files = LocalFiles()) {
        return {library, prompter, clock, files, progress};
    }

    // Adds a bench terminal and answers its roster record.
    ConnectionSettings AddTerminal(BenchTerminal terminal) {
        // A program goes into D:\PROGRAM, which every terminal has.
        bench.Add(terminal);
        bench.WriteFile(terminal.folder, "D/PROGRAM/MAIN.BAS", "10 END");
        return {terminal.port, 6, terminal.model, terminal.serial};
    }

    // Packs a project into the data folder; answers its bytes.
    QByteArray WriteProject(const QString& name, const PackRequirements& requirements,
                            const std::vector<PackMember>& members) {
        const PackedProject packed = BuildProjectFile(requirements, members);
        EXPECT_EQ(packed.error, "");
        WriteData(name + ".prj", packed.file);
        return packed.file;
    }
    void WriteData(const QString& relative, const QByteArray& content) {
        QDir().mkpath(QFileInfo(dataFolder + "/" + relative).path());
        QFile file(dataFolder + "/" + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    std::optional<QByteArray> ReadData(const QString& relative) const {
        QFile file(dataFolder + "/" + relative);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll();
    }
    // Everything in the data folder, as relative paths, hidden files included.
    QStringList DataFiles() const {
        QStringList files;
        QDirIterator it(dataFolder, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) files << QDir(dataFolder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    // A file on a bench terminal, "C/SHOP/A.DAT" for C:\SHOP\A.DAT.
    std::optional<QByteArray> ReadTerminal(const std::string& terminal, const QString& relative) const {
        QFile file(bench.Path() + "/" + QString::fromStdString(terminal) + "/" + relative);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll();
    }
    // The files of a terminal's drives below the PROGRAM folder every terminal starts with.
    QStringList TerminalFiles(const std::string& terminal) const {
        const QDir root(bench.Path() + "/" + QString::fromStdString(terminal));
        QStringList files;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = root.relativeFilePath(it.next());
            if (file != "terminal.ini" && file != "D/PROGRAM/MAIN.BAS") files << file;
        }
        files.sort();
        return files;
    }

    OwnJournal journal;
    TempBench bench;
    RecordingLibrary library{bench.Library()};
    ScriptedPrompter prompter;
    RecordingClock clock;
    ProgressRecord progress;
    QTemporaryDir temporary;
    QString dataFolder = temporary.path() + "/Tarvik";
};
