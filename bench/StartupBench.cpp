// Times the window's start-up and measures its idle memory beside a bare Qt main window (a menu
// bar and a status bar, no more), each
// in a process of its own started from this same program, so both load the same libraries:
// the difference is what Tarvik does at start-up. Offscreen unless a platform is given.

#include "app/MainFrame.h"
#include "core/TarvikDoc.h"
#include "platform/DocumentsFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 7;

long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// One start in this process: the window shown and idle, then its memory.
int StartOnce(bool tarvik) {
    static int argc = 1;
    static char name[] = "tarvik";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    std::unique_ptr<CTarvikDoc> doc;
    std::unique_ptr<QMainWindow> window;
    if (tarvik) {
        DataFolder = DocumentsFolder() + QStringLiteral("/Tarvik");
        doc = std::make_unique<CTarvikDoc>();
        window = std::make_unique<CMainFrame>();
    } else {
        // Text on screen, so the bare window loads fonts as any real one does.
        window = std::make_unique<QMainWindow>();
        window->menuBar()->addMenu(QStringLiteral("&File"));
        window->statusBar()->showMessage(QStringLiteral("Ready"));
        window->resize(820, 560);
    }
    window->show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    std::printf("%ld\n", ResidentKb());
    return 0;
}

struct Figures {
    double ms = 0;
    long kb = 0;
};

Figures Median(const QString& self, const char* mode) {
    std::vector<double> times;
    std::vector<long> sizes;
    for (int run = 0; run < kRuns; ++run) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(self, {QString::fromLatin1(mode)});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) qFatal("the %s start failed", mode);
        times.push_back(timer.nsecsElapsed() / 1e6);
        sizes.push_back(process.readAllStandardOutput().trimmed().toLong());
    }
    std::sort(times.begin(), times.end());
    std::sort(sizes.begin(), sizes.end());
    return {times[times.size() / 2], sizes[sizes.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2) return StartOnce(QByteArray(argv[1]) == "tarvik");
    QTemporaryDir empty;
    qputenv("TARVIK_TERMINALS", empty.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", empty.filePath("config").toUtf8());
    const QString self = QString::fromLocal8Bit(argv[0]);
    const Figures bare = Median(self, "bare");
    const Figures tarvik = Median(self, "tarvik");
    std::printf("Start-up to an idle window, median of %d (%s)\n", kRuns, qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  bare Qt main window: %7.1f ms  %6ld KB resident  (baseline)\n", bare.ms, bare.kb);
    std::printf("  Tarvik:              %7.1f ms  %6ld KB resident  (%.2f x time, target <= 1.05; %.2f x memory, "
                "target <= 1.1)\n",
                tarvik.ms, tarvik.kb, tarvik.ms / bare.ms, static_cast<double>(tarvik.kb) / bare.kb);
    return 0;
}
