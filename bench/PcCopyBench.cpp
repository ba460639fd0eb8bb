// Times a paste from the PC to the PC through the code the Paste command runs: one large file
// and a folder of 1,000 small files, beside `cp` and `cp -r` of the same bytes in the same
// folder, and beside `cp` followed by `sync`, which pays the same durability as the paste.

#include "BenchSeams.h"
#include "core/ItemKind.h"
#include "core/Services.h"
#include "link/ModuleLibrary.h"
#include "pc/PcFolderPaste.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/statvfs.h>

namespace {

constexpr int kRounds = 3;
constexpr int kSmallRounds = 7;  // quick, and the noisier
constexpr int kSmallFiles = 1000;
constexpr qint64 kLargeBytes = qint64(1) << 30;

// Counts the files the paste reports, so a run that skipped some does not count.
class CountingProgress final : public ProgressObserver {
public:
    bool BeforeFile(const QString&, const QString&, qint64) override {
        ++before;
        return true;
    }
    void AfterFile(qint64 bytes) override {
        ++after;
        total += bytes;
    }
    int before = 0;
    int after = 0;
    qint64 total = 0;
};

void Run(const QString& script, const QStringList& arguments) {
    if (QProcess::execute("sh", QStringList{"-c", script, "sh"} + arguments) != 0)
        qFatal("failed: %s", qPrintable(script));
}

void WriteBytes(const QString& path, qint64 size, const QByteArray& pattern) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    for (qint64 done = 0; done < size;) {
        const qint64 count = std::min<qint64>(pattern.size(), size - done);
        if (file.write(pattern.constData(), count) != count)
            qFatal("cannot write %s", qPrintable(path));
        done += count;
    }
}

QString FileSystemType(const QString& folder) {
    QProcess find;
    find.start("findmnt", {"-n", "-o", "FSTYPE", "-T", folder});
    find.waitForFinished();
    const QString type = QString::fromLocal8Bit(find.readAllStandardOutput()).trimmed();
    return type.isEmpty() ? QStringLiteral("unknown") : type;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir place;
    if (!place.isValid()) qFatal("no temporary folder");
    const QDir root(place.path());

    // The source, two copies and room to spare; a smaller file where the folder lacks it.
    struct statvfs st {};
    ::statvfs(QFile::encodeName(place.path()).constData(), &st);
    const qint64 free = qint64(st.f_bavail) * qint64(st.f_frsize);
    qint64 largeBytes = kLargeBytes;
    while (largeBytes > (qint64(1) << 20) && free < 3 * largeBytes) largeBytes /= 2;

    // Bytes no two blocks of which are alike, so no file system can share or skip them.
    QByteArray pattern(4 << 20, Qt::Uninitialized);
    QRandomGenerator generator(20261208);
    generator.fillRange(reinterpret_cast<quint32*>(pattern.data()), pattern.size() / 4);

    root.mkpath("src/small");
    WriteBytes(root.filePath("src/LARGE.BIN"), largeBytes, pattern);
    for (int i = 0; i < kSmallFiles; ++i) {
        const QByteArray content =
            pattern.mid((i * 4099) % (pattern.size() - 8192), 512 + i % 4096);
        WriteBytes(root.filePath(QStringLiteral("src/small/F%1.DAT").arg(i, 4, 10, QChar('0'))),
                   content.size(), content);
    }
    Run("sync", {});

    ModuleLibrary modules(place.path().toStdString());
    NoPauses clock;
    NoMessages prompter;
    CountingProgress progress;
    Services services{modules, prompter, clock, LocalFiles(), progress};

    const QString source = root.filePath("src");
    const QString into = root.filePath("to");
    const auto reset = [&] {
        QDir(into).removeRecursively();
        root.mkpath("to");
        Run("sync", {});
    };
    const auto paste = [&](const QString& path, int kind, int files) {
        progress = CountingProgress();
        const PcPasteResult result = PasteIntoPcFolder(services, {{path, kind}}, into, true);
        if (result.cancelled || progress.after != files) qFatal("the paste left files out");
    };

    const std::vector<double> large = MedianMsInTurn(
        kRounds,
        {[&] {
             paste(source + "/LARGE.BIN", kKindFile, 1);
             if (QFileInfo(into + "/LARGE.BIN").size() != largeBytes) qFatal("the large copy is short");
         },
         [&] { Run("cp \"$1\" \"$2/\"", {source + "/LARGE.BIN", into}); },
         [&] { Run("cp \"$1\" \"$2/\" && sync", {source + "/LARGE.BIN", into}); }},
        reset);
    const double pasteLarge = large[0], cpLarge = large[1], cpSyncLarge = large[2];

    const std::vector<double> small = MedianMsInTurn(
        kSmallRounds,
        {[&] { paste(source + "/small", kKindFolder, kSmallFiles); },
         [&] { Run("cp -r \"$1\" \"$2/\"", {source + "/small", into}); },
         [&] { Run("cp -r \"$1\" \"$2/\" && sync", {source + "/small", into}); }},
        reset);
    const double pasteSmall = small[0], cpSmall = small[1], cpSyncSmall = small[2];
    reset();

    std::printf("in %s, on %s (median of %d rounds, %d for the small files, taken in turn)\n",
                qPrintable(place.path()), qPrintable(FileSystemType(place.path())), kRounds, kSmallRounds);
    std::printf("one file of %lld MB%s\n", largeBytes >> 20,
                largeBytes < kLargeBytes ? "   (smaller: the folder lacks room for 1 GB)" : "");
    std::printf("  paste                                 %9.1f ms\n", pasteLarge);
    std::printf("  cp                                    %9.1f ms   (ratio %.2f, target 1.2)\n",
                cpLarge, pasteLarge / cpLarge);
    std::printf("  cp, then sync                         %9.1f ms   (ratio %.2f)\n", cpSyncLarge,
                pasteLarge / cpSyncLarge);
    std::printf("a folder of %d small files\n", kSmallFiles);
    std::printf("  paste                                 %9.1f ms\n", pasteSmall);
    std::printf("  cp -r                                 %9.1f ms   (ratio %.2f, target 3)\n",
                cpSmall, pasteSmall / cpSmall);
    std::printf("  cp -r, then sync                      %9.1f ms   (ratio %.2f)\n", cpSyncSmall,
                pasteSmall / cpSyncSmall);
    return 0;
}
