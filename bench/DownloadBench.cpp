// Times the "=>" of the project download dialog: the STOCK demo project, grown to 4 MB by a
// history file, sent to 10 emulated terminals through DownloadProject, beside `cp` of the same
// bytes into 10 folders. Fixed pauses are recorded, not slept, and reported apart.

#include "BenchFiles.h"
#include "BenchSeams.h"
#include "core/Services.h"
#include "link/ModuleLibrary.h"
#include "platform/Clock.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "project/ProjectDownload.h"
#include "project/ProjectPack.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTerminals = 10;
constexpr int kRounds = 5;
constexpr qint64 kProjectBytes = 4 * 1024 * 1024;

class PauseCounter final : public Clock {
public:
    void Pause(int milliseconds) override {
        ++count;
        total += milliseconds;
    }
    QTime TimeOfDay() override { return QTime::currentTime(); }
    int count = 0;
    qint64 total = 0;
};

// The PC's files, with the time spent in them added up: the staging of members and of the
// information file, apart from the terminal's own work.
class TimedFiles final : public PcFileSystem {
    template <class Call>
    auto Timed(Call call) {
        QElapsedTimer timer;
        timer.start();
        auto result = call();
        nanoseconds += timer.nsecsElapsed();
        return result;
    }

public:
    std::optional<QList<PcEntry>> List(const QString& folder, ListDetail detail) override {
        return Timed([&] { return LocalFiles().List(folder, detail); });
    }
    std::optional<PcEntry> Stat(const QString& path) override {
        return Timed([&] { return LocalFiles().Stat(path); });
    }
    int CopyFile(const QString& from, const QString& to, bool failIfExists) override {
        return Timed([&] { return LocalFiles().CopyFile(from, to, failIfExists); });
    }
    int MoveFile(const QString& from, const QString& to) override {
        return Timed([&] { return LocalFiles().MoveFile(from, to); });
    }
    int DeleteFile(const QString& path) override {
        return Timed([&] { return LocalFiles().DeleteFile(path); });
    }
    int CreateFolder(const QString& path) override {
        return Timed([&] { return LocalFiles().CreateFolder(path); });
    }
    int RemoveFolder(const QString& path) override {
        return Timed([&] { return LocalFiles().RemoveFolder(path); });
    }
    int ReadWholeFile(const QString& path, QByteArray& content) override {
        return Timed([&] { return LocalFiles().ReadWholeFile(path, content); });
    }
    int WriteWholeFile(const QString& path, const QByteArray& content,
                       Durability durability) override {
        return Timed([&] { return LocalFiles().WriteWholeFile(path, content, durability); });
    }
    std::optional<qint64> FreeBytes(const QString& folder) override {
        return LocalFiles().FreeBytes(folder);
    }
    int ReadFilePart(const QString& path, qint64 offset, qint64 maxBytes, QByteArray& content,
                     qint64& fileSize) override {
        return Timed(
            [&] { return LocalFiles().ReadFilePart(path, offset, maxBytes, content, fileSize); });
    }
    int CopyFileRange(const QString& from, qint64 offset, qint64 size, const QString& to,
                      const ChunkFilter& filter, Durability durability) override {
        return Timed(
            [&] { return LocalFiles().CopyFileRange(from, offset, size, to, filter, durability); });
    }
    int MoveToTrash(const QString& path) override {
        return Timed([&] { return LocalFiles().MoveToTrash(path); });
    }
    QString TemporaryNameBeside(const QString& path) override {
        return Timed([&] { return LocalFiles().TemporaryNameBeside(path); });
    }
    std::unique_ptr<WalkConfinement> ConfineWalk(const QString& top) override {
        return LocalFiles().ConfineWalk(top);
    }

    qint64 nanoseconds = 0;
};

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    std::vector<PackMember> members = DemoStockMembers();
    qint64 demoBytes = 0;
    for (const PackMember& member : members) demoBytes += member.content.size();
    QByteArray history(kProjectBytes - demoBytes, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char& byte : history) byte = static_cast<char>(random.generate());
    members.push_back({"C:\\STOCK\\HISTORY.DAT", history});

    const PackedProject packed = BuildProjectFile({0, "A00-0.80"}, members);
    if (!packed.error.empty()) qFatal("%s", packed.error.c_str());

    QTemporaryDir work;
    const QString dataFolder = work.filePath("Tarvik");
    const QString bench = work.filePath("terminals");
    WriteFile(dataFolder + "/STOCK.prj", packed.file);
    qputenv("TARVIK_TERMINALS", QFile::encodeName(bench));
    ModuleLibrary modules(QCoreApplication::applicationDirPath().toStdString());

    NoMessages prompter;
    PauseCounter clock;
    TimedFiles files;
    Services services{modules, prompter, clock, files, NoProgress()};
    const ListedProject project = LoadProject(services, dataFolder, "STOCK");
    if (!project.error.isEmpty()) qFatal("%s", qPrintable(project.error));

    DownloadRequest request{dataFolder, "STOCK", project.requirements, project.header, {}, {}, {}};
    for (int i = 1; i <= kTerminals; ++i) {
        request.terminals.push_back({"COM" + std::to_string(i), 6, "TQ-3100", std::to_string(10000000 + i)});
        request.checkedTerminals.push_back(true);
    }
    for (int entry = 0; entry < static_cast<int>(project.entries.size()); ++entry) {
        request.checkedMembers.push_back(entry);
    }

    std::vector<double> downloads;
    std::vector<double> staging;
    for (int round = 0; round < kRounds; ++round) {
        LayOutBench(bench, kTerminals);
        files.nanoseconds = 0;
        QElapsedTimer timer;
        timer.start();
        const DownloadOutcome outcome = DownloadProject(services, request);
        downloads.push_back(timer.nsecsElapsed() / 1e6);
        staging.push_back(files.nanoseconds / 1e6);
        if (outcome.cancelled || !outcome.incomplete.empty()) qFatal("a terminal was left short");
    }
    // What the last round left on each terminal is what was sent.
    for (int i = 1; i <= kTerminals; ++i) {
        const QString folder = QStringLiteral("%1/t%2").arg(bench).arg(i, 2, 10, QChar('0'));
        if (ReadFile(folder + "/C/STOCK/HISTORY.DAT") != history ||
            ReadFile(folder + "/D/PROGRAM/STOCK.BAS") != members[0].content ||
            !QFileInfo::exists(folder + "/D/STOCK.INF")) {
            qFatal("terminal %d did not get the project", i);
        }
    }

    // The same bytes as plain files, copied by cp into 10 folders.
    const QString source = work.filePath("source");
    for (const PackMember& member : members) {
        QString relative = QString::fromStdString(member.terminalPath);
        relative.remove(1, 1).replace('\\', '/');
        WriteFile(source + "/" + relative, member.content);
    }
    const QString copies = work.filePath("copies");
    const QString script =
        QStringLiteral("for i in $(seq 1 %1); do cp -r \"$0\" \"$1/$i\" || exit 1; done").arg(kTerminals);
    std::vector<double> cps;
    for (int round = 0; round < kRounds; ++round) {
        QDir(copies).removeRecursively();
        QDir().mkpath(copies);
        QElapsedTimer timer;
        timer.start();
        if (QProcess::execute("sh", {"-c", script, source, copies}) != 0) qFatal("cp failed");
        cps.push_back(timer.nsecsElapsed() / 1e6);
    }

    const double download = Median(downloads);
    const double cp = Median(cps);
    const double megabytes = kTerminals * double(kProjectBytes) / (1024 * 1024);
    std::printf("project STOCK, %zu members, %.1f MB, to %d emulated terminals (median of %d)\n",
                members.size(), kProjectBytes / (1024.0 * 1024.0), kTerminals, kRounds);
    std::printf("  DownloadProject (\"=>\")                %8.1f ms  %6.1f MB/s  %5.1f ms per terminal\n",
                download, megabytes / (download / 1000), download / kTerminals);
    std::printf("    of which the PC's files (read, stage)  %8.1f ms\n", Median(staging));
    std::printf("  cp -r of the same bytes to %d folders  %8.1f ms  %6.1f MB/s  (ratio %.2f)\n",
                kTerminals, cp, megabytes / (cp / 1000), download / cp);
    std::printf("  fixed pauses, recorded not slept        %d pauses, %lld ms in %d rounds\n",
                clock.count, static_cast<long long>(clock.total), kRounds);
    return 0;
}
