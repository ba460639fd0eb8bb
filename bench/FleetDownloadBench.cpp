// Times tarvik-cli downloading the STOCK demo project to emulated terminals that move bytes at
// a line's speed (rate=200000 bytes/s): to one terminal alone, to 10 in parallel (one worker
// process each) and to the same 10 one after another. The parallel run should take little more
// than the one terminal alone. The same project with a 100 KB lookup table follows, where the
// line's time, not the workers' start, is most of each download.

#include "BenchFiles.h"
#include "project/ProjectPack.h"

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

constexpr int kTerminals = 10;
constexpr int kRate = 200000;
constexpr int kRounds = 3;
constexpr int kLargeLookupBytes = 100 * 1024;

// Seconds one tarvik-cli download takes, the best of a few rounds on a fresh bench.
double Download(const QString& cli, const QString& bench, const QString& project,
                const QStringList& ports, int jobs) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        LayOutBench(bench, kTerminals, QStringLiteral("rate=%1\n").arg(kRate));
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(cli, {"download", project, "--to", ports.join(u','), "--jobs",
                            QString::number(jobs)});
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            qFatal("tarvik-cli download failed (status %d)", process.exitCode());
        }
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

// Times one project's three downloads and prints them beside the one terminal alone.
void Report(const QString& cli, const QString& bench, const QString& project, const char* label,
            const std::vector<PackMember>& members, const char* target) {
    qint64 bytes = 0;
    for (const PackMember& member : members) bytes += member.content.size();
    const PackedProject packed = BuildProjectFile({0, "A00-0.80"}, members);
    if (!packed.error.empty()) qFatal("%s", packed.error.c_str());
    WriteFile(project, packed.file);

    QStringList ports;
    for (int i = 1; i <= kTerminals; ++i) ports << QStringLiteral("COM%1").arg(i);
    const double one = Download(cli, bench, project, {"COM1"}, 1);
    const double parallel = Download(cli, bench, project, ports, kTerminals);
    const double sequential = Download(cli, bench, project, ports, 1);

    std::printf("%s (%lld bytes) at %d bytes/s, best of %d\n", label,
                static_cast<long long>(bytes), kRate, kRounds);
    std::printf("  one terminal alone:             %7.2f s  (baseline)\n", one);
    std::printf("  %d terminals, one worker each:  %7.2f s  (%.2f x the one alone%s)\n",
                kTerminals, parallel, parallel / one, target);
    std::printf("  %d terminals, one after another: %6.2f s  (%.2f x)\n", kTerminals, sequential,
                sequential / one);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString cli = QCoreApplication::applicationDirPath() + "/tarvik-cli";

    QTemporaryDir work;
    const QString project = work.filePath("STOCK.prj");
    const QString bench = work.filePath("terminals");
    qputenv("TARVIK_TERMINALS", QFile::encodeName(bench));

    std::vector<PackMember> members = DemoStockMembers();
    Report(cli, bench, project, "STOCK", members, "; target <= 1.5");

    // Deterministic bytes in place of the lookup table's, grown to the large size.
    for (PackMember& member : members) {
        if (!member.terminalPath.ends_with("ITEMS.LKP")) continue;
        QByteArray large(kLargeLookupBytes, Qt::Uninitialized);
        for (int i = 0; i < large.size(); ++i) large[i] = static_cast<char>('A' + (i * 7) % 26);
        member.content = std::move(large);
    }
    Report(cli, bench, project, "STOCK with a 100 KB lookup table", members, "");
    return 0;
}
