// Times the copy of a PC folder of 1,000 small files in five sub-folders, and of one 4 MB
// file, to an emulated terminal and back, through the operations the edit commands use,
// beside a plain `cp -r` of the same bytes in the same place: the temp folder, then memory
// (/dev/shm) where there is one. The fixed pauses the terminal asks for are counted, not slept.

#include "core/Services.h"
#include "link/ConnectionSettings.h"
#include "link/ModuleLibrary.h"
#include "link/TerminalLink.h"
#include "platform/Clock.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "terminal/TerminalFileOperations.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSmallFiles = 1000;
constexpr int kFilesPerFolder = 200;
constexpr qint64 kBigFileBytes = 4 * 1024 * 1024;
constexpr char kTerminalIni[] =
    "port=COM3\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=10000042\n"
    "drives=C:65536 D:4096\noffline=0\nfail=\n";

class CountingClock final : public Clock {
public:
    void Pause(int milliseconds) override { pausedMs += milliseconds; }
    QTime TimeOfDay() override { return QTime::currentTime(); }
    qint64 pausedMs = 0;
};

// Nothing in a sound run asks or complains; whatever does is shown and spoils the run.
class ReportingPrompter final : public Prompter {
public:
    void Message(const QString& text, const QString&) override { Complain(text); }
    bool Question(const QString& text, const QString&) override {
        Complain(text);
        return false;
    }
    QString OpenFile(const QString&, const QString&) override { return {}; }
    int complaints = 0;

private:
    void Complain(const QString& text) {
        ++complaints;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Deterministic, incompressible-looking bytes, so no layer can shortcut them.
QByteArray Bytes(qint64 size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

struct Figures {
    qint64 toTerminalMs = 0;
    qint64 backMs = 0;
    qint64 copyMs = 0;
    qint64 pausedMs = 0;
};

qint64 Median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One dataset: a PC source (a folder or a file) and the terminal folder it goes to.
class Run {
public:
    Run(ModuleLibrary& library, const QString& root, const QString& benchTerminal)
        : library_(library), root_(root), benchTerminal_(benchTerminal) {}

    // Sends `source`, brings every file back into `back`, and checks each byte; false on any
    // fault.
    bool Time(const QString& source, bool folder, Figures& figures) {
        Retire(benchTerminal_ + "/C");
        QDir().mkpath(benchTerminal_ + "/C");
        const QString back = root_ + "/back";
        Retire(back);
        QDir().mkpath(back);

        CountingClock clock;
        ReportingPrompter prompter;
        Services services{library_, prompter, clock, LocalFiles(), NoProgress()};
        const ConnectionSettings settings{"COM3", 6, "", ""};

        QElapsedTimer timer;
        timer.start();
        const TerminalPasteResult result =
            PasteToTerminal(services, settings, {{source, folder}}, "C:\\", true);
        figures.toTerminalMs = timer.elapsed();
        figures.pausedMs = clock.pausedMs;
        if (!result.reached || result.stop != kSuccess || prompter.complaints > 0) return false;

        // Back in the same walk over the PC source, so the names come from the PC side.
        const QString name = source.section('/', -1);
        QStringList files;
        if (folder) {
            QDirIterator walk(source, QDir::Files, QDirIterator::Subdirectories);
            while (walk.hasNext()) files << QDir(source).relativeFilePath(walk.next());
            files.sort();
            for (const QString& file : std::as_const(files)) {
                QDir().mkpath(back + "/" + name + "/" + file.section('/', 0, -2));
            }
        } else {
            files << QString();
        }
        timer.restart();
        TerminalLink link(library_, settings);
        if (!link) return false;
        for (const QString& file : files) {
            const QString relative = folder ? name + "/" + file : name;
            const std::string terminalPath =
                "C:\\" + QString(relative).replace('/', '\\').toStdString();
            if (link.GetFile(terminalPath, back + "/" + relative) != kSuccess) return false;
        }
        link.Close();
        figures.backMs = timer.elapsed();

        for (const QString& file : files) {
            const QString relative = folder ? name + "/" + file : name;
            if (ReadFile(back + "/" + relative) != ReadFile(root_ + "/pc/" + relative)) {
                std::fprintf(stderr, "%s came back different\n", qPrintable(relative));
                return false;
            }
        }

        const QString copy = root_ + "/cp";
        Retire(copy);
        QDir().mkpath(copy);
        timer.restart();
        if (QProcess::execute("cp", {"-r", source, copy}) != 0) return false;
        figures.copyMs = timer.elapsed();
        return true;
    }

private:
    // Moves a folder of an earlier run aside, kept until the end: thousands of files deleted
    // just before a timed copy make an ext4 disk slow to find free inodes for it, which would
    // time the bench's own clean-up.
    void Retire(const QString& folder) {
        QDir().mkpath(root_ + "/old");
        QDir().rename(folder, QStringLiteral("%1/old/%2").arg(root_).arg(retired_++));
    }

    ModuleLibrary& library_;
    QString root_;
    QString benchTerminal_;
    int retired_ = 0;
};

// Lays out the PC files and the terminal below `root`, then times each dataset there; false on
// any fault.
bool TimeIn(ModuleLibrary& library, const QString& root, const QString& place, int runs,
            QTextStream& out) {
    const QString bench = root + "/terminals";
    const QString terminal = bench + "/bench";
    QDir().mkpath(terminal);
    WriteFile(terminal + "/terminal.ini", kTerminalIni);
    qputenv("TARVIK_TERMINALS", QFile::encodeName(bench));

    const QString pc = root + "/pc";
    qint64 smallBytes = 0;
    for (int i = 0; i < kSmallFiles; ++i) {
        // A terminal folder holds at most 225 entries, so the files fill several.
        const QString folder = QStringLiteral("%1/WORK/BATCH%2").arg(pc).arg(i / kFilesPerFolder);
        QDir().mkpath(folder);
        const QByteArray content = Bytes(200 + (i * 37) % 3800, static_cast<quint32>(i));
        smallBytes += content.size();
        WriteFile(QStringLiteral("%1/F%2.DAT").arg(folder).arg(i, 4, 10, QLatin1Char('0')),
                  content);
    }
    WriteFile(pc + "/BIG.DAT", Bytes(kBigFileBytes, 7));

    struct Dataset {
        QString label;
        QString source;
        bool folder;
    };
    const Dataset datasets[] = {
        {QStringLiteral("%1 files, %2 KB").arg(kSmallFiles).arg(smallBytes / 1024), pc + "/WORK",
         true},
        {QStringLiteral("1 file, %1 KB").arg(kBigFileBytes / 1024), pc + "/BIG.DAT", false},
    };

    out << "In " << place << " (" << root << "), median of " << runs << " runs (ms)\n";
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg("", -22)
               .arg("to terminal", 12)
               .arg("back to PC", 11)
               .arg("cp -r", 7)
               .arg("fixed pauses (not slept)", 25);
    Run run(library, root, terminal);
    for (const Dataset& dataset : datasets) {
        std::vector<qint64> to, back, copy;
        Figures figures;
        for (int i = 0; i < runs; ++i) {
            if (!run.Time(dataset.source, dataset.folder, figures)) {
                std::fprintf(stderr, "%s: the transfer failed\n", qPrintable(dataset.label));
                return false;
            }
            to.push_back(figures.toTerminalMs);
            back.push_back(figures.backMs);
            copy.push_back(figures.copyMs);
        }
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(dataset.label, -22)
                   .arg(Median(to), 12)
                   .arg(Median(back), 11)
                   .arg(Median(copy), 7)
                   .arg(figures.pausedMs, 25);
        out.flush();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 3;

    ModuleLibrary library(QCoreApplication::applicationDirPath().toStdString());
    if (!library.HasTerminalProtocol()) {
        std::fprintf(stderr, "no terminal module beside %s\n",
                     qPrintable(QCoreApplication::applicationDirPath()));
        return 1;
    }

    QTextStream out(stdout);
    out << "Emulated terminal\n";
    QTemporaryDir temp;
    if (!temp.isValid() || !TimeIn(library, temp.path(), "the temp folder", runs, out)) return 1;
    // In memory, the disk's own noise (inode allocation after deletions, journal commits for the
    // syncs) is left out.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        QTemporaryDir shm(QStringLiteral("/dev/shm/tarvik-bench-XXXXXX"));
        if (!shm.isValid() || !TimeIn(library, shm.path(), "memory", runs, out)) return 1;
    }
    return 0;
}
