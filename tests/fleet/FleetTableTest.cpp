#include "fleet/FleetRefresh.h"
#include "fleet/FleetTable.h"
#include "fleet/RememberedRoster.h"
#include "support/TempBench.h"

#include <QDateTime>
#include <QEventLoop>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

TEST(FleetTableTest, EachTerminalIsReadThroughItsWorkerAndOneThatDoesNotAnswerShowsOffLine) {
    TempBench bench;
    bench.Add({.folder = "a", .port = "COM3", .serial = "10000042", .drives = "C:2048 D:4096"});
    bench.WriteFile("a", "D/SHOP.INF", "");
    bench.WriteFile("a", "D/ORDERS.INF", "");
    bench.WriteFile("a", "D/NOTES.TXT", "");
    bench.Add({.folder = "gone", .port = "COM6", .offline = true});
    FleetTable table;
    table.Add("COM3", 6);
    table.Add("COM6", 6);
    FleetRefresh refresh(table, TARVIK_MODULE_DIR "/tarvik-cli");
    QStringList read;
    QObject::connect(&refresh, &FleetRefresh::terminalRead,
                     [&](const QString& port, bool online) { read << port + (online ? " on" : " off"); });
    QEventLoop loop;
    QObject::connect(&refresh, &FleetRefresh::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    refresh.Refresh();
    EXPECT_EQ(Cell(table, 0, FleetTable::kState), "Reading...");
    loop.exec();

    read.sort();
    EXPECT_EQ(read, (QStringList{"COM3 on", "COM6 off"}));
    EXPECT_EQ(Cell(table, 0, FleetTable::kState), "On-line");
    EXPECT_EQ(Cell(table, 0, FleetTable::kModel), "TQ-3100");
    EXPECT_EQ(Cell(table, 0, FleetTable::kFirmware), "A00-1.10");
    EXPECT_EQ(Cell(table, 0, FleetTable::kSerial), "10000042");
    EXPECT_EQ(Cell(table, 0, FleetTable::kProjects), "ORDERS, SHOP");
    EXPECT_EQ(table.data(table.index(0, FleetTable::kFreeD), Qt::UserRole).toLongLong(), 4096);
    EXPECT_EQ(Cell(table, 0, FleetTable::kFreeE), "");  // a terminal without drive E
    EXPECT_EQ(Cell(table, 1, FleetTable::kState), "Off-line");
    EXPECT_EQ(Cell(table, 1, FleetTable::kSerial), "");
}

TEST(FleetTableTest, FreeSpaceSortsAsANumberAndTheCsvHoldsEveryColumnSafely) {
    FleetTable table;
    TerminalStatus small;
    small.identified = true;
    small.identity = {"TQ-3100", "A00-1.10", "10000001"};
    small.drives = {{"C:", 1024, 900}};
    small.projects = {"=HYPERLINK(\"x\")", "A,B"};
    TerminalStatus large = small;
    large.identity.serialNumber = "10000002";
    large.drives = {{"C:", 20480, 10000}};
    large.projects = {};
    table.Add("COM1", 6);
    table.Add("COM2", 6);
    table.SetStatus("COM1", large);
    table.SetStatus("COM2", small);
    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30));
    table.TakeLastResults({{when, {"10000001", "COM2", "collect", {"SHOP"}, true, {}}},
                           {when, {"99999999", "COM2", "rm", {"C:\\X"}, true, {}}},  // another terminal
                           {when, {"10000002", "COM1", "put", {"A"}, false, "Disk full"}},
                           {when.addSecs(60), {"10000002", "COM1", "put", {"B"}, false, {}}}});

    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&table);
    sorted.setSortRole(Qt::UserRole);
    sorted.sort(FleetTable::kFreeC, Qt::AscendingOrder);
    EXPECT_EQ(Cell(sorted, 0, FleetTable::kPort), "COM2");  // 900 before 10000, which text would put first
    EXPECT_EQ(Cell(sorted, 1, FleetTable::kFreeC), "10000");

    const QList<QByteArray> lines = table.Csv().split('\n');
    ASSERT_EQ(lines.size(), 4);  // a header, two rows, and the end of the last line
    EXPECT_EQ(lines[0], "Port,State,Model,F/W,Serial,Projects,C: free (KB),D: free (KB),E: free (KB),"
                        "Last operation\r");
    EXPECT_EQ(lines[1], "COM1,On-line,TQ-3100,A00-1.10,10000002,,10000,,,2026-12-08 09:31 put B: failed\r");
    // A project name a spreadsheet would run as a formula stays text.
    EXPECT_EQ(lines[2], "COM2,On-line,TQ-3100,A00-1.10,10000001,\"'=HYPERLINK(\"\"x\"\"), A,B\",900,,,"
                        "2026-12-08 09:30 collect SHOP: ok\r");
}

TEST(RememberedRosterTest, TheRosterRoundTripsAndWhatIsNoTerminalIsSkipped) {
    QTemporaryDir folder;
    QSettings settings(folder.filePath("tarvik.conf"), QSettings::IniFormat);
    SaveRoster(settings, {{"COM3", 6}, {"TQ-3100-0001", 0}});
    const auto read = LoadRoster(settings);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].port, "TQ-3100-0001");
    EXPECT_EQ(read[0].baudCode, 6);

    QStringList entries{"COM3 6", "COM3 2", "COM4 9", "COM5", QString(65, u'X') + " 1", "COM7 x"};
    for (int i = 0; i < 300; ++i) entries << QStringLiteral("COM%1 1").arg(100 + i);
    settings.setValue("roster/terminals", entries);
    const auto bounded = LoadRoster(settings);
    ASSERT_EQ(bounded.size(), kMaxRemembered);
    EXPECT_EQ(bounded[0].port, "COM3");
    EXPECT_EQ(bounded[1].port, "COM100");

    SaveRoster(settings, {});
    EXPECT_TRUE(LoadRoster(settings).empty());
}

}  // namespace
