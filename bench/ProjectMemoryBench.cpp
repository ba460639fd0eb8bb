// The time and peak memory of the two readers of a large project file, each beside the idle
// peak of the same process: Property's read of an 8 GB sparse project file (the LoadProject the
// download dialog calls when it opens), and the download of a 200 MB member to one emulated
// terminal through DownloadProject, beside `cp` of the same bytes. The peak is started afresh
// before each phase through /proc/self/clear_refs.

#include "BenchSeams.h"
#include "core/Services.h"
#include "link/ModuleLibrary.h"
#include "platform/Clock.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "project/ProjectDownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kHugeProjectBytes = qint64(8) << 30;
constexpr qint64 kMemberBytes = qint64(200) << 20;
constexpr qint64 kProgramBytes = 1000;
constexpr int kRounds = 5;
constexpr double kPropertySecondsTarget = 0.5;
constexpr double kOverIdleTargetMb = 64;

// The process's peak resident size in MB, as the kernel reports it.
double PeakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) qFatal("cannot read /proc/self/status");
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    qFatal("no VmHWM in /proc/self/status");
}

// Starts the peak afresh from what is resident now; false where the kernel does not allow it,
// so that each peak also covers the phases before it.
bool ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

void Check(bool condition, const char* what) {
    if (!condition) qFatal("%s", what);
}

QByteArray EntryLine(const char* path, qint64 size) {
    return "[Info]" + QByteArray(path) + ',' + QByteArray::number(size) + "\r\n";
}

// A project file of `total` bytes, sparse past its header: a small program and one data member
// of the rest.
void WriteHugeProject(const QString& path, qint64 total) {
    const QByteArray requirements = "[Ver.]1\r\n[Reader]1\r\n[FW Sup.]A00-1.02\r\n";
    QByteArray header;
    qint64 rest = total;
    for (int pass = 0; pass < 3; ++pass) {
        header = requirements + EntryLine("D:\\PROGRAM\\HUGE.bas", kProgramBytes) +
                 EntryLine("C:\\HUGE\\HUGE.DAT", rest);
        rest = total - header.size() - kProgramBytes;
    }
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly) && file.write(header) == header.size() &&
              file.resize(total),
          "cannot lay out the 8 GB project file");
}

char PatternByte(qint64 at) { return static_cast<char>((at * 7 + at / 4093) % 251); }

// A project of one data member, written a megabyte at a time.
void WriteMemberProject(const QString& path) {
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly), "cannot write the 200 MB project");
    const QByteArray header = EntryLine("C:\\BIG\\BIG.DAT", kMemberBytes);
    file.write(header);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 done = 0; done < kMemberBytes; done += chunk.size()) {
        for (qsizetype i = 0; i < chunk.size(); ++i) chunk[i] = PatternByte(done + i);
        Check(file.write(chunk) == chunk.size(), "cannot write the 200 MB project");
    }
}

// Whether the file holds the member's bytes, read a megabyte at a time.
bool HoldsMember(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != kMemberBytes) return false;
    for (qint64 done = 0; done < kMemberBytes;) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty()) return false;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            if (chunk[i] != PatternByte(done + i)) return false;
        }
        done += chunk.size();
    }
    return true;
}

void WriteText(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
          "cannot lay out the terminal");
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    Check(work.isValid(), "no temporary folder");
    const QString dataFolder = work.filePath("Tarvik");
    const QString bench = work.filePath("terminals");
    QDir().mkpath(dataFolder);
    WriteText(bench + "/t1/terminal.ini",
              "port=COM3\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=10000001\n"
              "drives=C:262144 D:8192 E:8192\n");
    WriteText(bench + "/t1/D/PROGRAM/MAIN.BAS", "10 END\r\n");
    qputenv("TARVIK_TERMINALS", QFile::encodeName(bench));
    ModuleLibrary modules(QCoreApplication::applicationDirPath().toStdString());
    NoMessages prompter;
    NoPauses clock;
    Services services{modules, prompter, clock, LocalFiles(), NoProgress()};

    WriteHugeProject(dataFolder + "/HUGE.prj", kHugeProjectBytes);
    WriteMemberProject(dataFolder + "/BIG.prj");

    // Idle: everything loaded, nothing read yet.
    const bool resets = ResetPeak();
    const double idle = PeakMb();

    ResetPeak();
    std::vector<double> properties;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const ListedProject huge = LoadProject(services, dataFolder, "HUGE");
        properties.push_back(timer.nsecsElapsed() / 1e9);
        Check(huge.error.isEmpty() && huge.entries.size() == 2, "the 8 GB project did not load");
    }
    const double propertyPeak = PeakMb();
    std::sort(properties.begin(), properties.end());
    const double property = properties[properties.size() / 2];

    const ListedProject big = LoadProject(services, dataFolder, "BIG");
    Check(big.error.isEmpty(), "the 200 MB project did not load");
    const DownloadRequest request{dataFolder, "BIG", big.requirements, big.header,
                                  {{"COM3", 6, "TQ-3100", "10000001"}}, {true}, {0}};
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    const DownloadOutcome outcome = DownloadProject(services, request);
    const double download = timer.nsecsElapsed() / 1e9;
    const double downloadPeak = PeakMb();
    Check(!outcome.cancelled && outcome.incomplete.empty(), "the terminal was left short");
    Check(HoldsMember(bench + "/t1/C/BIG/BIG.DAT"), "the terminal did not get the member whole");

    const QString copy = work.filePath("copy.prj");
    timer.restart();
    Check(QProcess::execute("cp", {dataFolder + "/BIG.prj", copy}) == 0, "cp failed");
    const double cp = timer.nsecsElapsed() / 1e9;

    std::printf("peak resident memory, started afresh before each phase%s\n",
                resets ? "" : " (not possible here: each peak covers the phases before it)");
    std::printf("  idle, modules loaded                      %8.1f MB\n", idle);
    std::printf("Property of an 8 GB project (LoadProject, median of %d)\n", kRounds);
    std::printf("  time                                      %8.2f ms   target < %.0f ms: %s\n",
                property * 1000, kPropertySecondsTarget * 1000,
                Verdict(property < kPropertySecondsTarget));
    std::printf("  peak                                      %8.1f MB   %+.1f MB over idle, target "
                "< %.0f: %s\n",
                propertyPeak, propertyPeak - idle, kOverIdleTargetMb,
                Verdict(propertyPeak - idle < kOverIdleTargetMb));
    std::printf("download of a 200 MB member to 1 emulated terminal (DownloadProject)\n");
    std::printf("  time                                      %8.1f ms   cp of the project file: "
                "%.1f ms\n",
                download * 1000, cp * 1000);
    std::printf("  peak                                      %8.1f MB   %+.1f MB over idle, target "
                "< %.0f: %s\n",
                downloadPeak, downloadPeak - idle, kOverIdleTargetMb,
                Verdict(downloadPeak - idle < kOverIdleTargetMb));
    return 0;
}
