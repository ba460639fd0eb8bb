// Times the two listings a user waits for: a PC folder of 20,000 entries into the tree, beside
// a bare QTreeWidget fill of the same names, and a full terminal folder of 225 entries read
// through the stand-in terminal.

#include "BenchSeams.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/ModuleLibrary.h"
#include "link/TerminalLibrary.h"
#include "platform/Clock.h"
#include "platform/LocalFileSystem.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/TerminalFileTree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kPcEntries = 20000;
constexpr int kTerminalEntries = 225;
constexpr int kRounds = 7;

double Median(const std::function<void()>& round) { return MedianMs(kRounds, round); }

void MakeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CTarvikDoc doc;

    QTemporaryDir pcFolder;
    QStringList names;
    for (int i = 0; i < kPcEntries; ++i) {
        names << QStringLiteral("F%1.TXT").arg(kPcEntries - i, 7, 10, QChar('0'));
        MakeFile(pcFolder.filePath(names.back()));
    }

    CPCFileTree tree;
    tree.SetFileModeFlag(true);
    tree.SetRootItem(tree.InsertItem(nullptr, "PC", kKindRoot, false));
    QTreeWidgetItem* drive = tree.InsertItem(tree.RootItem(), pcFolder.path(), kKindFixed);
    const double listing = Median([&] { tree.FillFolder(pcFolder.path(), drive); });
    if (drive->childCount() != kPcEntries) qFatal("listed %d entries", drive->childCount());

    const double readOnly = Median([&] { LocalFiles().List(pcFolder.path(), ListDetail::Kinds); });
    // The tree's own share: the sorted batch insertion and the deletion of the previous items.
    QList<CFileTreeCtrl::ListedItem> listed;
    // In the folder's own order, as a listing hands the names over.
    const auto entries = LocalFiles().List(pcFolder.path(), ListDetail::Kinds);
    for (const PcEntry& entry : *entries) listed.append({entry.name, kKindFile});
    std::vector<double> insertTimes;
    std::vector<double> deleteTimes;
    for (int i = 0; i < kRounds; ++i) {
        tree.DeleteChildren(drive);
        QElapsedTimer timer;
        timer.start();
        tree.InsertSortedChildren(drive, listed);
        insertTimes.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        tree.DeleteChildren(drive);
        deleteTimes.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(insertTimes.begin(), insertTimes.end());
    std::sort(deleteTimes.begin(), deleteTimes.end());
    const double inserting = insertTimes[kRounds / 2];
    const double deleting = deleteTimes[kRounds / 2];

    QTreeWidget bare;
    const double bareFill = Median([&] {
        bare.clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(names.size());
        for (const QString& name : std::as_const(names)) items << new QTreeWidgetItem(QStringList{name});
        bare.addTopLevelItems(items);
    });

    // A bench with one terminal whose C:\DATA is full.
    QTemporaryDir bench;
    qputenv("TARVIK_TERMINALS", QFile::encodeName(bench.path()));
    QDir(bench.path()).mkpath("t/C/DATA");
    QFile ini(bench.filePath("t/terminal.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write("port=COM3\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=1\ndrives=C:8192 D:1024\n");
    ini.close();
    for (int i = 0; i < kTerminalEntries; ++i) {
        MakeFile(bench.filePath(QStringLiteral("t/C/DATA/F%1.TXT").arg(i, 4, 10, QChar('0'))));
    }
    ModuleLibrary modules(QCoreApplication::applicationDirPath().toStdString());
    InstallTerminalLibrary(&modules);
    NoPauses clock;
    InstallClock(&clock);
    doc.settings.portName = "COM3";
    CTerminalFileTree terminalTree;
    terminalTree.SetFileModeFlag(true);
    terminalTree.SetRootItem(terminalTree.InsertItem(nullptr, "Terminal", kKindTerminal, false));
    QTreeWidgetItem* cDrive = terminalTree.InsertItem(terminalTree.RootItem(), "C:\\", kKindFixed);
    QTreeWidgetItem* data = terminalTree.InsertItem(cDrive, "DATA", kKindFolder);
    const double terminalListing = Median([&] { terminalTree.FillFolder(data); });
    if (data->childCount() != kTerminalEntries) qFatal("listed %d terminal entries", data->childCount());
    InstallTerminalLibrary(nullptr);
    InstallClock(nullptr);

    // What a plain program does: one item after the other under the folder's item.
    QTreeWidget plain;
    auto* plainParent = new QTreeWidgetItem(&plain, QStringList{pcFolder.path()});
    const double plainFill = Median([&] {
        qDeleteAll(plainParent->takeChildren());
        for (const QString& name : std::as_const(names)) new QTreeWidgetItem(plainParent, QStringList{name});
    });

    std::printf("PC folder of %d entries into the tree   %8.1f ms\n", kPcEntries, listing);
    std::printf("  of which reading the folder            %8.1f ms\n", readOnly);
    std::printf("  of which sorting and inserting         %8.1f ms\n", inserting);
    std::printf("  of which deleting the previous items   %8.1f ms\n", deleting);
    std::printf("bare QTreeWidget fill of the same names  %8.1f ms   (ratio %.2f)\n", bareFill,
                listing / bareFill);
    // The least a listing can cost: reading the folder, then a batch fill of its names.
    const double floor = readOnly + bareFill;
    std::printf("floor: reading plus the bare fill        %8.1f ms   (ratio %.2f)\n", floor,
                listing / floor);
    std::printf("plain QTreeWidget fill, item by item     %8.1f ms   (ratio %.2f)\n", plainFill,
                listing / plainFill);
    std::printf("terminal folder of %d entries            %8.1f ms   (median of %d)\n",
                kTerminalEntries, terminalListing, kRounds);
    return 0;
}
