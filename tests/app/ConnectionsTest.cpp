#include "app/Connections.h"
#include "link/TerminalLink.h"

#include "app/CommandIds.h"
#include "app/Fleet.h"
#include "app/MainFrame.h"
#include "app/UserSettings.h"
#include "core/TarvikDoc.h"
#include "fleet/RememberedRoster.h"
#include "project/ProjectPack.h"
#include "support/TreeItems.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "core/ItemKind.h"
#include "link/ModuleLimits.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <atomic>
#include <chrono>
#include <thread>
#include <QTimer>
#include <gtest/gtest.h>

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

const BenchTerminal kComTerminal{.folder = "shelf", .port = "COM3", .serial = "10000042"};
const BenchTerminal kUsbTerminal{.folder = "usb", .port = "TQ-3100-0001", .serial = "20000007"};
const BenchTerminal kOldTerminal{.folder = "old",
                                 .port = "COM4",
                                 .model = "TQ-2200",
                                 .firmware = "A00-0.90",
                                 .serial = "30000001",
                                 .drives = "C:1024 D:2048"};

class ConnectionsTest : public ::testing::Test {
protected:
    ConnectionsTest() {
        bench.Add(kComTerminal);
        bench.Add(kUsbTerminal);
        bench.Add(kOldTerminal);
        app = std::make_unique<AppFixture>();
        app->Frame().RunCommand(ID_FILE_MODE);
    }

    CTerminalFileTree& FileTree() { return *g_terminalView->FileTree(); }
    CTerminalFileTree& Roster() { return *g_terminalView->Roster(); }
    QStringList RosterLabels() {
        QStringList labels;
        for (int i = 0; i < Roster().RootItem()->childCount(); ++i) {
            labels << Roster().RootItem()->child(i)->text(0);
        }
        return labels;
    }
    void Connect(const std::string& portName) {
        app->Doc().settings.portName = portName;
        app->Frame().RunCommand(ID_CONNECT);
    }

    TempBench bench;
    std::unique_ptr<AppFixture> app;
};

TEST_F(ConnectionsTest, ConnectLabelsTheTerminalAndDisconnectUndoesIt) {
    Connect("COM3");
    CMainFrame& frame = app->Frame();
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    EXPECT_TRUE(frame.state.connected);
    EXPECT_EQ(FileTree().RootItem()->text(0), "TQ-3100-10000042, COM3");
    EXPECT_EQ(CFileTreeCtrl::ItemImage(FileTree().RootItem()), kKindTerminal);
    EXPECT_TRUE(FileTree().isEnabled());
    EXPECT_EQ(frame.ConnectButtonImage(), 3);
    EXPECT_FALSE(frame.Action(ID_COM_SETUP)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_CONNECT)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_FW_UPGRADE)->isEnabled());
    EXPECT_EQ(app->Doc().settings.model, "TQ-3100");
    EXPECT_EQ(app->Doc().settings.serialNumber, "10000042");

    frame.RunCommand(ID_CONNECT);
    EXPECT_FALSE(frame.state.connected);
    EXPECT_EQ(CFileTreeCtrl::ItemImage(FileTree().RootItem()), kKindTerminalOffline);
    EXPECT_FALSE(FileTree().isEnabled());
    EXPECT_EQ(frame.ConnectButtonImage(), 1);
    EXPECT_TRUE(frame.Action(ID_COM_SETUP)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_FW_UPGRADE)->isEnabled());
    EXPECT_EQ(app->Doc().settings.model, "");
    EXPECT_EQ(app->Doc().settings.serialNumber, "");
}

TEST_F(ConnectionsTest, UsbTerminalIsLabelledByItsPort) {
    Connect("TQ-3100-0001");
    EXPECT_TRUE(app->Frame().state.connected);
    EXPECT_EQ(FileTree().RootItem()->text(0), "TQ-3100-0001, USB");
}

struct ConnectFailure {
    BenchTerminal terminal;
    const char* message;
};

void PrintTo(const ConnectFailure& value, std::ostream* out) { *out << value.terminal.folder; }

class ConnectFailureTest : public ConnectionsTest,
                           public ::testing::WithParamInterface<ConnectFailure> {};

TEST_P(ConnectFailureTest, ShowsWhyAndStaysDisconnected) {
    bench.Add(GetParam().terminal);
    Connect(GetParam().terminal.port);
    EXPECT_EQ(app->Prompter().messages, QStringList{GetParam().message});
    EXPECT_EQ(app->Prompter().captions, QStringList{"Tarvik"});
    EXPECT_FALSE(app->Frame().state.connected);
    EXPECT_EQ(app->Frame().ConnectButtonImage(), 1);
    EXPECT_FALSE(FileTree().isEnabled());
    EXPECT_EQ(app->Doc().settings.model, "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ConnectFailureTest,
    ::testing::Values(
        ConnectFailure{{.folder = "off", .port = "COM8", .offline = true},
                       "Connect fail!\r\nCheck your port!"},
        ConnectFailure{{.folder = "gone", .port = "TQ-9999-0009", .offline = true},
                       "Connect fail!\r\nCheck your port!"},
        ConnectFailure{{.folder = "slow", .port = "COM9", .baud = 2},
                       "Connect fail!\r\nCheck your port!"},
        ConnectFailure{{.folder = "mute", .port = "COM7", .fail = "TpGetInfo:2681"},
                       "Get information fail!"}));

TEST_F(ConnectionsTest, AUsbNameThatIsNotAttachedFailsToConnect) {
    Connect("TQ-0000-0000");
    EXPECT_EQ(app->Prompter().messages, QStringList{"Connect fail!\r\nCheck your port!"});
}

class NewConnectTest : public ConnectionsTest {
protected:
    NewConnectTest() { app->Frame().RunCommand(ID_PROJECT_MODE); }
};

TEST_F(NewConnectTest, AddsEachTerminalToTheRosterInOrder) {
    app->NewConnect("COM3");
    app->NewConnect("TQ-3100-0001");
    app->NewConnect("COM4");
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    EXPECT_EQ(RosterLabels(), (QStringList{"TQ-3100-10000042, COM3", "TQ-3100-0001, USB",
                                           "TQ-2200-30000001, COM4"}));
    ASSERT_EQ(app->Doc().terminals.size(), 3u);
    EXPECT_EQ(app->Doc().terminals[2]->model, "TQ-2200");
    EXPECT_EQ(app->Doc().terminals[2]->serialNumber, "30000001");
    // New Connect's record starts at baud code 0, which the dialog writes back as 115200.
    EXPECT_EQ(app->Doc().terminals[0]->baudCode, 6);
    EXPECT_TRUE(Roster().isEnabled());
    EXPECT_TRUE(Roster().RootItem()->isExpanded());
    EXPECT_TRUE(app->Frame().Action(ID_FW_UPGRADE)->isEnabled());
}

TEST_F(NewConnectTest, RefusesAPortAlreadyOpenButTakesItInAnotherCase) {
    bench.Add({.folder = "lower", .port = "com5", .serial = "50000005"});
    app->NewConnect("COM3");
    app->NewConnect("COM3");
    EXPECT_EQ(app->Prompter().messages, QStringList{"The port is already opened!"});
    EXPECT_EQ(app->Doc().terminals.size(), 1u);
    app->NewConnect("com5");
    EXPECT_EQ(app->Doc().terminals.size(), 2u);
    EXPECT_EQ(RosterLabels().last(), "TQ-3100-50000005, com5");
}

TEST_F(NewConnectTest, AnOfflineTerminalIsNotAdded) {
    bench.Add({.folder = "off", .port = "COM8", .offline = true});
    app->NewConnect("COM8");
    EXPECT_EQ(app->Prompter().messages, QStringList{"Connect fail!\r\nCheck your port!"});
    EXPECT_TRUE(app->Doc().terminals.empty());
    EXPECT_EQ(Roster().RootItem()->childCount(), 0);
}

TEST_F(NewConnectTest, ATerminalThatWillNotTellItsIdentityIsAnUnknownDevice) {
    bench.Add({.folder = "mute", .port = "COM7", .fail = "TpGetInfo:2681"});
    app->NewConnect("COM7");
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    EXPECT_EQ(RosterLabels(), QStringList{"Unknow Device, COM7"});
    ASSERT_EQ(app->Doc().terminals.size(), 1u);
    EXPECT_EQ(app->Doc().terminals[0]->model, "Unknow Device");
    EXPECT_EQ(app->Doc().terminals[0]->serialNumber, "");
}

TEST_F(NewConnectTest, CancelAddsNothing) {
    app->NewConnect(QString());
    EXPECT_TRUE(app->Doc().terminals.empty());
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    EXPECT_FALSE(Roster().isEnabled());
}

TEST_F(NewConnectTest, CloseConnectIsOfferedOnlyAfterATerminalIsClicked) {
    CMainFrame& frame = app->Frame();
    app->NewConnect("COM3");
    app->NewConnect("COM4");
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());

    AppFixture::Click(Roster(), Roster().RootItem());
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());

    AppFixture::Click(Roster(), Roster().RootItem()->child(0));
    frame.UpdateCommandStates();
    EXPECT_TRUE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());

    frame.RunCommand(ID_CLOSE_CONNECT);
    EXPECT_EQ(RosterLabels(), QStringList{"TQ-2200-30000001, COM4"});
    ASSERT_EQ(app->Doc().terminals.size(), 1u);
    EXPECT_EQ(app->Doc().terminals[0]->portName, "COM4");
    EXPECT_FALSE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());
    EXPECT_TRUE(Roster().isEnabled());
}

TEST_F(NewConnectTest, ClosingFromAProjectBelowATerminalClosesThatTerminal) {
    bench.WriteFile("old", "D/SHOP.INF", "");
    app->NewConnect("COM3");
    app->NewConnect("COM4");
    QTreeWidgetItem* second = Roster().RootItem()->child(1);
    AppFixture::Click(Roster(), second);
    ASSERT_EQ(second->childCount(), 1);
    Roster().setCurrentItem(second->child(0));
    app->Frame().RunCommand(ID_CLOSE_CONNECT);
    EXPECT_EQ(RosterLabels(), QStringList{"TQ-3100-10000042, COM3"});
    ASSERT_EQ(app->Doc().terminals.size(), 1u);
    EXPECT_EQ(app->Doc().terminals[0]->portName, "COM3");
}

TEST_F(NewConnectTest, ClosingTheLastTerminalDisablesTheRoster) {
    app->NewConnect("COM3");
    AppFixture::Click(Roster(), Roster().RootItem()->child(0));
    app->Frame().RunCommand(ID_CLOSE_CONNECT);
    EXPECT_TRUE(app->Doc().terminals.empty());
    EXPECT_FALSE(Roster().isEnabled());
    EXPECT_FALSE(app->Frame().Action(ID_FW_UPGRADE)->isEnabled());
}

// Waits, handling events, until `done` holds or three seconds pass.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return done();
}

TEST_F(ConnectionsTest, PullingTheUsbTerminalOutGreysTheTreeAndPluggingItBackRestoresIt) {
    RecordingClock clock;
    Connect("TQ-3100-0001");
    ASSERT_TRUE(app->Frame().state.connected);
    app->Frame().Usb().SetReadingInterval(5);

    bench.Remove(kUsbTerminal.folder);
    ASSERT_TRUE(WaitFor([&] { return !FileTree().isEnabled(); }));
    EXPECT_EQ(CFileTreeCtrl::ItemImage(FileTree().RootItem()), kKindTerminalOffline);
    EXPECT_TRUE(app->Frame().state.connected);  // only the look changes

    bench.Add(kUsbTerminal);
    ASSERT_TRUE(WaitFor([&] { return FileTree().isEnabled(); }));
    EXPECT_EQ(CFileTreeCtrl::ItemImage(FileTree().RootItem()), kKindTerminal);
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
}

// The CLI installs SHOP (a data file among its members) on the terminals of `ports`.
void InstallShop(const QString& dataFolder, const QString& ports) {
    const PackedProject packed = BuildProjectFile({.readerKind = 1, .neededVersion = "A00-1.00"},
                                                  {{"D:\\PROGRAM\\SHOP.bas", "PRINT 1"}, {"C:\\SHOP\\A.DAT", "data"}});
    QDir().mkpath(dataFolder);
    QFile file(dataFolder + "/SHOP.prj");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packed.file);
    file.close();
    QProcess cli;
    cli.start(TARVIK_MODULE_DIR "/tarvik-cli", {"download", file.fileName(), "--to", ports});
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(NewConnectTest, TheRosterAndTheWindowComeBackAfterARestartAndAGoneTerminalShowsOffLine) {
    UserSettings()->clear();
    app->NewConnect("COM3");
    app->NewConnect("COM4");
    app->Frame().RunCommand(ID_FILE_MODE);
    app->Frame().resize(700, 480);
    app->Frame().close();
    app.reset();
    bench.Remove(kOldTerminal.folder);

    app = std::make_unique<AppFixture>();
    app->Frame().RestoreSession();
    Fleet& fleet = app->Frame().FleetView();
    ASSERT_TRUE(WaitFor([&] { return !fleet.Reading().Running(); }));
    EXPECT_EQ(RosterLabels(), QStringList{"TQ-3100-10000042, COM3"});
    EXPECT_FALSE(app->Frame().IsProjectMode());
    EXPECT_EQ(app->Frame().size(), QSize(700, 480));
    ASSERT_EQ(fleet.Table().rowCount(), 2);
    EXPECT_EQ(fleet.Table().Find("COM3")->state, FleetRow::State::Online);
    EXPECT_EQ(fleet.Table().Find("COM4")->state, FleetRow::State::Offline);
    EXPECT_TRUE(app->Prompter().messages.isEmpty());

    // Forgotten, the roster is empty now and at the next start.
    app->Frame().RunCommand(ID_PROJECT_MODE);
    app->Prompter().AnswerQuestions({true});
    app->Frame().RunCommand(ID_FORGET_ROSTER);
    EXPECT_TRUE(app->Doc().terminals.empty());
    EXPECT_EQ(fleet.Table().rowCount(), 0);
    EXPECT_TRUE(LoadRoster(*UserSettings()).empty());
}

TEST_F(NewConnectTest, SettingsThatCannotBeReadStartTheWindowAsAFirstRun) {
    const QString path = UserSettings()->fileName();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[window]\ngeometry=@ByteArray(garbage)\nmode=file\x01\n[roster\nterminals=\"");
    file.close();
    app.reset();
    app = std::make_unique<AppFixture>();
    app->Frame().RestoreSession();
    EXPECT_TRUE(app->Frame().IsProjectMode());
    EXPECT_EQ(app->Frame().FleetView().Table().rowCount(), 0);
    EXPECT_TRUE(app->Doc().terminals.empty());
    UserSettings()->clear();
}

TEST_F(NewConnectTest, CollectDataBringsEveryTerminalsDataFilesAndReplacesNothingUnasked) {
    for (const BenchTerminal& terminal : {kComTerminal, kUsbTerminal}) bench.WriteFile(terminal.folder, "D/PROGRAM/MAIN.BAS", "");
    InstallShop(DataFolder, "COM3,TQ-3100-0001");
    const QString before = DataFolder + "/SHOP/10000042/A.DAT";
    QDir().mkpath(QFileInfo(before).path());
    QFile kept(before);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write("old") == 3);
    kept.close();
    app->NewConnect("COM3");
    app->NewConnect("TQ-3100-0001");
    app->NewConnect("COM4");
    CPCFileTree& projects = *app->Frame().PcView()->ProjectTree();
    projects.Fill();
    QTreeWidgetItem* shop = Child(projects.RootItem(), "SHOP");
    ASSERT_NE(shop, nullptr);
    AppFixture::Click(projects, shop);

    app->Prompter().AnswerQuestions({false});
    app->Frame().RunCommand(ID_COLLECT_DATA);
    ASSERT_EQ(app->Prompter().questions.size(), 1);
    EXPECT_TRUE(app->Prompter().questions[0].contains("10000042")) << app->Prompter().questions[0].toStdString();
    EXPECT_EQ(Read(before), "old");
    EXPECT_EQ(Read(DataFolder + "/SHOP/20000007/A.DAT"), "data");
    // COM4 has no SHOP, as its reading told, so it was not asked; the table shows each
    // terminal's last operation from the journal.
    Fleet& fleet = app->Frame().FleetView();
    fleet.Refresh();
    ASSERT_TRUE(WaitFor([&] { return !fleet.Reading().Running(); }));
    // Keeping the file was the user's answer, no failure to report.
    EXPECT_EQ(app->Prompter().messages.last(), "1 data file(s) of SHOP collected into " +
                                                   QDir::toNativeSeparators(DataFolder + "/SHOP") + ".");
    EXPECT_TRUE(fleet.Table().Find("COM3")->lastResult.contains("collect SHOP: ok"))
        << fleet.Table().Find("COM3")->lastResult.toStdString();
    EXPECT_TRUE(fleet.Table().Find("TQ-3100-0001")->lastResult.contains("collect SHOP: ok"));
    EXPECT_FALSE(fleet.Table().Find("COM4")->lastResult.contains("collect"));

    // Installed on COM4 since it was read, as by the download dialog: the terminals are read
    // again before anything is collected.
    bench.WriteFile(kOldTerminal.folder, "D/SHOP.INF", Read(bench.Path() + "/shelf/D/SHOP.INF").toStdString());
    bench.WriteFile(kOldTerminal.folder, "C/SHOP/A.DAT", "data");
    app->Prompter().AnswerQuestions({true});
    app->Frame().RunCommand(ID_COLLECT_DATA);
    EXPECT_EQ(Read(before), "data");
    EXPECT_EQ(Read(DataFolder + "/SHOP/30000001/A.DAT"), "data");
    EXPECT_TRUE(app->Prompter().messages.last().startsWith("3 data file(s) of SHOP collected"))
        << app->Prompter().messages.join('|').toStdString();
}

class DeviceChangeTest : public ::testing::Test {
protected:
    DeviceChangeTest() {
        library.ListUsbNames({"TQ-3100-0001"});
        app = std::make_unique<AppFixture>();
        app->Frame().RunCommand(ID_FILE_MODE);
        app->Doc().settings.portName = "TQ-3100-0001";
        app->Frame().state.connected = true;
        g_terminalView->SetOnline(true);
        Usb().SetReadingInterval(5);
    }
    UsbNotices& Usb() { return app->Frame().Usb(); }
    // Counts read one after another; the last one repeats.
    void Counts(std::vector<uint32_t> counts) {
        ON_CALL(library, TpUsbCount()).WillByDefault([this, counts] {
            return counts[std::min(readings++, counts.size() - 1)];
        });
    }
    void Notice(DeviceEvent event) {
        app->Frame().OnDeviceChange(event);
        ASSERT_TRUE(WaitFor([&] { return !Usb().Waiting(); }));
    }

    NiceMock<MockTerminalLibrary> library;
    std::unique_ptr<AppFixture> app;
    size_t readings = 0;
};

TEST_F(DeviceChangeTest, AnArrivalIsReadUntilTheCountChangesOrFiveTimesAndSeveralNoticesAreOne) {
    // Not among the names the library lists, so only the count can end the wait early.
    app->Doc().settings.portName = "TQ-3100-0002";
    for (const auto& [counts, expected] :
         {std::pair{std::vector<uint32_t>{1}, size_t(6)}, {{1, 1, 1, 2}, size_t(4)}}) {
        readings = 0;
        Counts(counts);
        // One plug: the USB device, its tty, and anything else plugged at once.
        app->Frame().OnDeviceChange(DeviceEvent::Arrival);
        app->Frame().OnDeviceChange(DeviceEvent::Arrival);
        Notice(DeviceEvent::Arrival);
        EXPECT_EQ(readings, expected);
        EXPECT_FALSE(g_terminalView->FileTree()->isEnabled());
    }
}

TEST_F(DeviceChangeTest, ConnectWaitsForAnArrivalBeingAwaited) {
    app->Doc().settings.portName = "TQ-3100-0002";
    Counts({1});
    app->Frame().OnDeviceChange(DeviceEvent::Arrival);
    ASSERT_TRUE(Usb().Waiting());

    app->Frame().RunCommand(ID_CONNECT);

    // Six for the whole wait, then one for the port the command looks up.
    EXPECT_FALSE(Usb().Waiting());
    EXPECT_EQ(readings, 7u);
    EXPECT_FALSE(app->Frame().state.connected);
}

TEST_F(DeviceChangeTest, AnArrivalTheLibraryAlreadyCountedEndsAtTheFirstReading) {
    g_terminalView->SetOnline(false);
    Counts({1});
    Notice(DeviceEvent::Arrival);
    EXPECT_EQ(readings, 2u);
    EXPECT_TRUE(g_terminalView->FileTree()->isEnabled());
}

TEST_F(DeviceChangeTest, TheWindowAnswersWhileAnArrivalIsAwaited) {
    Usb().SetReadingInterval(1000);
    app->Doc().settings.portName = "TQ-3100-0002";
    Counts({1});
    QElapsedTimer timer;
    timer.start();
    app->Frame().OnDeviceChange(DeviceEvent::Arrival);
    app->Frame().RunCommand(ID_PROJECT_MODE);
    QCoreApplication::processEvents();
    EXPECT_LT(timer.elapsed(), 200);
    EXPECT_TRUE(Usb().Waiting());
    EXPECT_TRUE(app->Frame().IsProjectMode());
}

TEST_F(DeviceChangeTest, ARemovalReadsOnceAndGreysTheTreeWhenTheTerminalIsGone) {
    Counts({1, 0});
    Notice(DeviceEvent::RemoveComplete);
    EXPECT_EQ(readings, 2u);
    EXPECT_FALSE(g_terminalView->FileTree()->isEnabled());
}

TEST_F(DeviceChangeTest, OnlyTheFileModeTerminalsOwnUsbPortIsLookedFor) {
    EXPECT_CALL(library, TpUsbCount).Times(0);
    app->Frame().state.connected = false;
    Notice(DeviceEvent::RemoveComplete);

    app->Frame().state.connected = true;
    app->Doc().settings.portName = "COM3";
    // A USB terminal in the roster is no reason to take File Mode's serial terminal away.
    app->Doc().terminals.push_back(
        std::make_unique<ConnectionSettings>(ConnectionSettings{"TQ-3100-0001", 6, "", ""}));
    Notice(DeviceEvent::RemoveComplete);

    app->Doc().settings.portName = "TQ-3100-0001";
    Notice(DeviceEvent::NodesChanged);
    EXPECT_TRUE(g_terminalView->FileTree()->isEnabled());
}

TEST_F(DeviceChangeTest, ARemovalDuringAnOperationShowsOnlyWhenItEnds) {
    Counts({1, 0});
    app->Frame().BeginOperation();
    Notice(DeviceEvent::RemoveComplete);
    EXPECT_TRUE(g_terminalView->FileTree()->isEnabled());
    app->Frame().EndOperation();
    EXPECT_FALSE(g_terminalView->FileTree()->isEnabled());
}

// While a long step is inside the library, perhaps on a thread of its own, a notice does not
// call the library too: it looks again once the step is out.
TEST_F(DeviceChangeTest, ANoticeDuringALongStepLeavesTheLibraryToIt) {
    std::atomic<bool> inStep = false;
    std::atomic<bool> countedDuringStep = false;
    ON_CALL(library, TpUsbCount()).WillByDefault([&] {
        if (inStep) countedDuringStep = true;
        return 0u;
    });
    ON_CALL(library, TpPutFile(_, _, _, _, _)).WillByDefault([&](auto...) {
        inStep = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        inStep = false;
        return 0;
    });
    app->Frame().BeginOperation();
    QTimer::singleShot(20, [&] { Notice(DeviceEvent::RemoveComplete); });
    TerminalLink link(library, std::nullopt, 6);
    EXPECT_EQ(link.PutFile("/no/such/file", "C:\\X.TXT", false), 0);
    EXPECT_FALSE(countedDuringStep);
    app->Frame().EndOperation();
    EXPECT_TRUE(WaitFor([&] { return !g_terminalView->FileTree()->isEnabled(); }));
}

TEST_F(DeviceChangeTest, AModuleCountingBillionsOfTerminalsIsBoundedAndToldOnce) {
    ForgetModuleFault();
    Counts({1, 4000000000u});
    Notice(DeviceEvent::RemoveComplete);
    Notice(DeviceEvent::RemoveComplete);
    EXPECT_EQ(app->Prompter().messages.size(), 1);
}

}  // namespace
