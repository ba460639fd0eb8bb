#include "app/MainFrame.h"
#include "app/WorkEndNotice.h"

#include "app/CommandIds.h"
#include "app/CommandState.h"
#include "core/ItemKind.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/ModalDialogs.h"
#include "support/OwnJournal.h"
#include "platform/Progress.h"
#include "ui/ProgressDisplay.h"
#include "ui/SwitchModeEvent.h"
#include "ui/dialogs/JournalDialog.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QProgressDialog>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>
#include <QMenu>
#include <QSet>

using ::testing::_;
using ::testing::NiceMock;

namespace {

// Records the mode-switch notices a pane receives, in order, across panes.
class SwitchModeRecorder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == static_cast<QEvent::Type>(UM_SWITCHMODE)) received << watched;
        return false;
    }
    QList<QObject*> received;
};

QStringList MenuTitles(const QMenuBar& bar) {
    QStringList titles;
    for (QAction* action : bar.actions()) {
        if (action->isVisible()) titles << action->text();
    }
    return titles;
}

QList<int> MenuIds(const QMenuBar& bar, int popup) {
    QList<int> ids;
    QList<QAction*> menus;
    for (QAction* action : bar.actions()) {
        if (action->isVisible()) menus << action;
    }
    for (QAction* action : menus.at(popup)->menu()->actions()) {
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    }
    return ids;
}

QList<int> ToolBarIds(const CMainFrame& frame) {
    QList<int> ids;
    for (QAction* action : frame.ToolBar()->actions()) ids << action->data().toInt();
    return ids;
}

class MainFrameTest : public ::testing::Test {
protected:
    NiceMock<MockTerminalLibrary> library;
    AppFixture app;
    CMainFrame& frame = app.Frame();
};

TEST_F(MainFrameTest, StartsInProjectModeWithItsMenuToolbarAndTrees) {
    EXPECT_TRUE(frame.IsProjectMode());
    EXPECT_EQ(frame.windowTitle(), "Tarvik");
    EXPECT_EQ(frame.MenuId(), 128);
    EXPECT_EQ(MenuTitles(*frame.menuBar()), (QStringList{"&File", "Tools", "&View", "&Help"}));
    EXPECT_EQ(MenuIds(*frame.menuBar(), 0),
              (QList<int>{ID_NEW_CONNECT, ID_CLOSE_CONNECT, 0, ID_EXPORT_FLEET, ID_FORGET_ROSTER, 0,
                          ID_APP_EXIT}));
    EXPECT_EQ(MenuIds(*frame.menuBar(), 1), (QList<int>{ID_FW_UPGRADE, ID_COLLECT_DATA}));
    EXPECT_EQ(MenuIds(*frame.menuBar(), 2), (QList<int>{ID_PROJECT_MODE, ID_FILE_MODE, 0, ID_VIEW_FLEET,
                                                       ID_VIEW_JOURNAL, 0, ID_VIEW_TOOLBAR,
                                                       ID_VIEW_STATUS_BAR}));
    EXPECT_EQ(MenuIds(*frame.menuBar(), 3), QList<int>{ID_APP_ABOUT});
    EXPECT_EQ(ToolBarIds(frame), (QList<int>{ID_NEW_CONNECT, ID_CLOSE_CONNECT, ID_APP_ABOUT}));
    EXPECT_TRUE(frame.Action(ID_PROJECT_MODE)->isChecked());
    EXPECT_FALSE(frame.Action(ID_FILE_MODE)->isChecked());

    EXPECT_TRUE(frame.PcView()->ProjectTree()->isVisible());
    EXPECT_FALSE(frame.PcView()->FileTree()->isVisible());
    EXPECT_TRUE(g_terminalView->Roster()->isVisible());
    EXPECT_FALSE(g_terminalView->FileTree()->isVisible());
    EXPECT_FALSE(g_terminalView->Roster()->isEnabled());
    EXPECT_FALSE(g_terminalView->FileTree()->isEnabled());
    EXPECT_EQ(g_terminalView->FileTree()->RootItem()->text(0), "Terminal");
    EXPECT_EQ(CFileTreeCtrl::ItemImage(g_terminalView->FileTree()->RootItem()),
              kKindTerminalOffline);
    EXPECT_EQ(g_terminalView->FileTree()->RootItem()->childCount(), 1);
    EXPECT_EQ(g_terminalView->Roster()->RootItem()->text(0), "Terminal");
    EXPECT_EQ(frame.PcView()->ProjectTree()->RootItem()->text(0), "Project:");
    EXPECT_EQ(frame.PcView()->FileTree()->RootItem()->text(0), "PC");
}

// A file on a slow line blocks inside the library: meanwhile the window goes on being drawn,
// the dialog with its Cancel appears when due, and no command runs under the work.
TEST_F(MainFrameTest, ALongStepKeepsTheWindowAliveAndTakesNoCommand) {
    frame.BeginOperation();
    bool eventsHandled = false;
    bool dialogShown = false;
    QTimer::singleShot(0, [&] { eventsHandled = true; });
    QTimer::singleShot(ProgressDisplay::kDialogDelayMs + 300, [&] {
        dialogShown = frame.Progress().Dialog() && frame.Progress().Dialog()->isVisible();
        frame.Action(ID_FILE_MODE)->trigger();  // as a screen reader may
    });
    int result = 0;
    InstalledProgress().RunLong([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ProgressDisplay::kDialogDelayMs + 600));
        result = 42;
    });
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(eventsHandled);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(frame.IsProjectMode());
    frame.EndOperation();
    EXPECT_EQ(frame.Progress().Dialog(), nullptr);
}

TEST_F(MainFrameTest, TheLeftPaneStartsTwoHundredFiftyPixelsWide) {
    frame.resize(900, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.Splitter()->sizes().at(0), 250);
    EXPECT_EQ(frame.Splitter()->widget(0), frame.PcView());
    EXPECT_EQ(frame.Splitter()->widget(1), g_terminalView);
}

TEST_F(MainFrameTest, StatusBarIsReadyWithTheLockIndicators) {
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
    QStringList indicators;
    for (QLabel* label : frame.statusBar()->findChildren<QLabel*>()) indicators << label->text();
    EXPECT_TRUE(indicators.contains("CAP"));
    EXPECT_TRUE(indicators.contains("NUM"));
    EXPECT_TRUE(indicators.contains("SCRL"));
}

TEST_F(MainFrameTest, CommandsCarryTheirPromptsAndTooltips) {
    EXPECT_EQ(frame.Action(ID_FW_UPGRADE)->statusTip(), "Upgrade Device Firmware.");
    EXPECT_EQ(frame.Action(ID_FW_UPGRADE)->toolTip(), "Upgrad F/W");
    EXPECT_EQ(frame.Action(ID_NEW_CONNECT)->statusTip(), "Create new connection");
    EXPECT_EQ(frame.Action(ID_NEW_CONNECT)->toolTip(), "New");
    EXPECT_EQ(frame.Action(ID_CONNECT)->toolTip(), "Connect/Disconnect");
    EXPECT_EQ(frame.Action(ID_FILE_MODE)->statusTip(),
              "Switch to File Mode to handle general file.");
}

TEST_F(MainFrameTest, FileModeSwapsMenuToolbarAndTreesAndTellsLeftPaneFirst) {
    SwitchModeRecorder recorder;
    frame.PcView()->installEventFilter(&recorder);
    g_terminalView->installEventFilter(&recorder);

    frame.RunCommand(ID_FILE_MODE);
    EXPECT_FALSE(frame.IsProjectMode());
    EXPECT_EQ(recorder.received, (QList<QObject*>{frame.PcView(), g_terminalView}));
    EXPECT_EQ(frame.MenuId(), 150);
    EXPECT_EQ(MenuTitles(*frame.menuBar()),
              (QStringList{"&File", "Setup", "Tools", "&View", "&Help"}));
    EXPECT_EQ(MenuIds(*frame.menuBar(), 0), QList<int>{ID_APP_EXIT});
    EXPECT_EQ(MenuIds(*frame.menuBar(), 1), (QList<int>{ID_CONNECT, ID_COM_SETUP}));
    EXPECT_EQ(ToolBarIds(frame), (QList<int>{ID_COM_SETUP, ID_CONNECT, ID_APP_ABOUT}));
    EXPECT_TRUE(frame.Action(ID_FILE_MODE)->isChecked());
    EXPECT_TRUE(frame.PcView()->FileTree()->isVisible());
    EXPECT_FALSE(frame.PcView()->ProjectTree()->isVisible());
    EXPECT_TRUE(g_terminalView->FileTree()->isVisible());
    EXPECT_FALSE(g_terminalView->Roster()->isVisible());

    frame.RunCommand(ID_PROJECT_MODE);
    EXPECT_EQ(frame.MenuId(), 128);
    EXPECT_EQ(ToolBarIds(frame), (QList<int>{ID_NEW_CONNECT, ID_CLOSE_CONNECT, ID_APP_ABOUT}));
    EXPECT_TRUE(g_terminalView->Roster()->isVisible());
    EXPECT_EQ(recorder.received.size(), 4);
}

TEST_F(MainFrameTest, SwitchingToTheModeAlreadyShownSendsNothingAndKeepsTheMenu) {
    SwitchModeRecorder recorder;
    frame.PcView()->installEventFilter(&recorder);
    g_terminalView->installEventFilter(&recorder);
    QMenuBar* before = frame.menuBar();

    frame.RunCommand(ID_PROJECT_MODE);
    EXPECT_TRUE(recorder.received.isEmpty());
    EXPECT_EQ(frame.menuBar(), before);

    frame.RunCommand(ID_FILE_MODE);
    recorder.received.clear();
    before = frame.menuBar();
    frame.RunCommand(ID_FILE_MODE);
    EXPECT_TRUE(recorder.received.isEmpty());
    EXPECT_EQ(frame.menuBar(), before);
}

TEST_F(MainFrameTest, ModeSwitchesLeaveConnectionClipboardAndFlagsAlone) {
    frame.state.connected = true;
    frame.state.commands.copy = true;
    frame.state.clipboardSource = frame.PcView()->FileTree();
    frame.state.activeTree = g_terminalView->FileTree();
    frame.RunCommand(ID_FILE_MODE);
    frame.RunCommand(ID_PROJECT_MODE);
    EXPECT_TRUE(frame.state.connected);
    EXPECT_TRUE(frame.state.commands.copy);
    EXPECT_EQ(frame.state.clipboardSource, frame.PcView()->FileTree());
    EXPECT_EQ(frame.state.activeTree, g_terminalView->FileTree());
}

TEST_F(MainFrameTest, ConnectedLookOfTheConnectButtonSurvivesAModeSwitch) {
    frame.RunCommand(ID_FILE_MODE);
    frame.state.connected = true;
    frame.SetConnectButtonImage(3);
    frame.RunCommand(ID_PROJECT_MODE);
    frame.RunCommand(ID_FILE_MODE);
    EXPECT_EQ(frame.ConnectButtonImage(), 3);
}

TEST_F(MainFrameTest, ComSetupIsGreyedWhileConnectedAndConnectNeverIs) {
    frame.RunCommand(ID_FILE_MODE);
    frame.UpdateCommandStates();
    EXPECT_TRUE(frame.Action(ID_COM_SETUP)->isEnabled());
    frame.state.connected = true;
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_COM_SETUP)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_CONNECT)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_NEW_CONNECT)->isEnabled());
}

TEST_F(MainFrameTest, FirmwareUpgradeFollowsTheModesConnection) {
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_FW_UPGRADE)->isEnabled());
    app.Doc().terminals.push_back(std::make_unique<ConnectionSettings>());
    frame.UpdateCommandStates();
    EXPECT_TRUE(frame.Action(ID_FW_UPGRADE)->isEnabled());

    frame.RunCommand(ID_FILE_MODE);
    EXPECT_FALSE(frame.Action(ID_FW_UPGRADE)->isEnabled());
    app.Doc().settings.model = "TQ-3100";
    frame.UpdateCommandStates();
    EXPECT_TRUE(frame.Action(ID_FW_UPGRADE)->isEnabled());
}

TEST_F(MainFrameTest, CloseConnectNeedsATerminalAndAClickOnOne) {
    frame.state.closeConnectEnabled = true;
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());
    app.Doc().terminals.push_back(std::make_unique<ConnectionSettings>());
    frame.UpdateCommandStates();
    EXPECT_TRUE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());
    frame.state.closeConnectEnabled = false;
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_CLOSE_CONNECT)->isEnabled());
}

TEST_F(MainFrameTest, EditCommandsFollowTheirFlags) {
    const std::pair<bool EditCommands::*, int> flags[] = {
        {&EditCommands::copy, ID_EDIT_COPY},   {&EditCommands::cut, ID_EDIT_CUT},
        {&EditCommands::del, ID_DELETE},       {&EditCommands::property, ID_PROPERTY},
        {&EditCommands::format, ID_FORMAT},    {&EditCommands::newFolder, ID_NEW_FOLDER},
        {&EditCommands::rename, ID_RENAME}};
    // Each context menu has actions of its own, so each entry reports its own menu's place on
    // the accessibility bus; they follow their command's state.
    const auto entriesFor = [&](int id) {
        QList<QAction*> entries;
        for (bool fileMode : {true, false}) {
            for (QAction* entry : frame.ContextMenu(fileMode)->actions())
                if (entry->data().toInt() == id) entries << entry;
        }
        return entries;
    };
    for (const auto& [flag, id] : flags) {
        frame.UpdateCommandStates();
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
        frame.state.commands.*flag = true;
        frame.UpdateCommandStates();
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
        const QList<QAction*> entries = entriesFor(id);
        EXPECT_EQ(QSet<QAction*>(entries.begin(), entries.end()).size(), entries.size()) << id;
        for (QAction* entry : entries) EXPECT_TRUE(entry->isEnabled()) << id;
        frame.state.commands.*flag = false;
    }
    EXPECT_FALSE(frame.Action(ID_EDIT_PASTE)->isEnabled());
}

TEST_F(MainFrameTest, AboutShowsTheVersion) {
    QString version;
    QString caption;
    WhenModalShown([&](QDialog& dialog) {
        caption = dialog.windowTitle();
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) version = label->text();
        }
        dialog.accept();
    });
    frame.RunCommand(ID_APP_ABOUT);
    EXPECT_EQ(caption, "About Tarvik");
    EXPECT_EQ(version, "Tarvik Version 1.03");
}

TEST_F(MainFrameTest, TheToolbarAndStatusBarCommandsShowAndHideThem) {
    frame.RunCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame.ToolBar()->isVisible());
    EXPECT_FALSE(frame.Action(ID_VIEW_TOOLBAR)->isChecked());
    frame.RunCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(frame.ToolBar()->isVisible());
    frame.RunCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame.statusBar()->isVisible());
    EXPECT_FALSE(frame.Action(ID_VIEW_STATUS_BAR)->isChecked());
}

TEST_F(MainFrameTest, ViewJournalShowsTheJournalNewestLastBesideTheWindowAndReadsItAgain) {
    const OwnJournal own;
    frame.RunCommand(ID_VIEW_JOURNAL);
    QPointer<JournalDialog> journal = frame.Journal();
    ASSERT_NE(journal, nullptr);
    EXPECT_TRUE(journal->isVisible());
    EXPECT_FALSE(journal->isModal());
    EXPECT_EQ(journal->Notice(), "The journal is empty.");

    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC);
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(AppendToJournal({"10000042", "COM3", "put", {"A.TXT"}, true, {}}, when));
    ASSERT_TRUE(AppendToJournal({"20000013", "COM4", "rm", {"C:\\X.TXT"}, false, "No such file"}, when));
    journal->findChild<QPushButton*>("refreshButton")->click();
    QCoreApplication::processEvents();
    QTableWidget* table = journal->Table();
    ASSERT_EQ(table->rowCount(), 61);
    QStringList last;
    for (int column = 1; column < table->columnCount(); ++column) last << table->item(60, column)->text();
    EXPECT_EQ(last, (QStringList{"20000013", "COM4", "rm", "C:\\X.TXT", "failed: No such file"}));
    EXPECT_EQ(journal->Notice(), "");
    EXPECT_GT(table->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(table->verticalScrollBar()->value(), table->verticalScrollBar()->maximum());

    // Asked for again, the same window reads the journal again.
    ASSERT_TRUE(QFile::remove(JournalPath()));
    ASSERT_TRUE(QDir().mkpath(JournalPath()));
    frame.RunCommand(ID_VIEW_JOURNAL);
    EXPECT_EQ(frame.Journal(), journal.data());
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_TRUE(journal->Notice().startsWith("The journal " + JournalPath() + " cannot be read"))
        << journal->Notice().toStdString();

    journal->findChild<QPushButton*>("closeButton")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(journal.isNull());
}

TEST(MainFrameCreation, SetsTheLibraryModeOnceAndReleasesTheDeviceWatcher) {
    NiceMock<MockTerminalLibrary> library;
    EXPECT_CALL(library, TpSetMode(1)).Times(1);
    {
        AppFixture app;
        EXPECT_NE(DeviceWatcher::Current(), nullptr);
    }
    EXPECT_EQ(DeviceWatcher::Current(), nullptr);
}

// The Paste rule over the kinds of the active tree's current item.
struct PasteCase {
    const char* name;
    bool activeIsPc;
    bool activeFileMode;
    int currentImage;  // -1: no current item
    bool sourceIsActive;
    bool sourceHasItems;
    bool enabled;
};

void PrintTo(const PasteCase& value, std::ostream* out) { *out << value.name; }

class PasteRuleTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteRuleTest, FollowsTheRule) {
    const PasteCase& c = GetParam();
    CPCFileTree pcTree;
    CTerminalFileTree terminalTree;
    CFileTreeCtrl& active = c.activeIsPc ? static_cast<CFileTreeCtrl&>(pcTree) : terminalTree;
    CFileTreeCtrl& other = c.activeIsPc ? static_cast<CFileTreeCtrl&>(terminalTree) : pcTree;
    active.SetFileModeFlag(c.activeFileMode);
    other.SetFileModeFlag(c.activeFileMode);
    CFileTreeCtrl& source = c.sourceIsActive ? active : other;
    QTreeWidgetItem* root = active.InsertItem(nullptr, "root", 0, false);
    active.SetRootItem(root);
    if (c.currentImage >= 0) active.SetContextItem(active.InsertItem(root, "x", c.currentImage));
    if (c.sourceHasItems) {
        QTreeWidgetItem* sourceRoot = source.InsertItem(nullptr, "s", 0, false);
        source.AppendToSelection(source.InsertItem(sourceRoot, "A.TXT", kKindFile));
    }
    EXPECT_EQ(PasteEnabled(&active, &source), c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, PasteRuleTest,
    ::testing::Values(
        PasteCase{"PcOntoFolder", true, true, kKindFolder, false, true, true},
        PasteCase{"PcOntoDrive", true, true, kKindFixed, false, true, true},
        PasteCase{"PcOntoCd", true, true, kKindCdRom, false, true, true},
        PasteCase{"PcOntoItself", true, true, kKindFolder, true, true, true},
        PasteCase{"PcOntoRoot", true, true, kKindRoot, false, true, false},
        PasteCase{"PcOntoFile", true, true, kKindFile, false, true, false},
        PasteCase{"PcEmptyClipboard", true, true, kKindFolder, false, false, false},
        PasteCase{"TerminalOntoFolder", false, true, kKindFolder, false, true, true},
        PasteCase{"TerminalOntoDrive", false, true, kKindFixed, false, true, true},
        PasteCase{"TerminalOntoFile", false, true, kKindFile, false, true, false},
        PasteCase{"TerminalOntoRoot", false, true, kKindTerminal, false, true, false},
        PasteCase{"TerminalFromItself", false, true, kKindFolder, true, true, false},
        PasteCase{"TerminalNoCurrentItem", false, true, -1, false, true, false},
        PasteCase{"ProjectPcTree", true, false, kKindProjectOrTerminal, false, true, false},
        PasteCase{"ProjectRoster", false, false, kKindProjectOrTerminal, false, true, true},
        PasteCase{"ProjectRosterAnyItem", false, false, -1, false, true, true},
        PasteCase{"ProjectRosterFromItself", false, false, kKindProjectOrTerminal, true, true,
                  false},
        // Nothing to drop: the terminal's projects are read again.
        PasteCase{"ProjectRosterEmpty", false, false, kKindProjectOrTerminal, false, false,
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PasteRule, NeedsAnActiveTreeAndAClipboard) {
    CTerminalFileTree tree;
    tree.SetFileModeFlag(true);
    EXPECT_FALSE(PasteEnabled(nullptr, &tree));
    EXPECT_FALSE(PasteEnabled(&tree, nullptr));
    tree.SetFileModeFlag(false);
    EXPECT_FALSE(PasteEnabled(&tree, nullptr));
}

}  // namespace

TEST(WorkEndNoticeTest, OnlyLongWorkEndingWhileTheUserIsElsewhereIsTold) {
    EXPECT_FALSE(NoticeFor({"Paste", 3, 0, 60000, true}));      // the window is in front
    EXPECT_FALSE(NoticeFor({"Paste", 3, 0, kNoticeAfterMs, false}));  // not long enough
    const auto notice = NoticeFor({"Paste", 1, 0, kNoticeAfterMs + 1, false});
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->summary, "Paste has ended");
    EXPECT_EQ(notice->body, "1 file; nothing failed.");
    EXPECT_EQ(NoticeFor({"", 40, 2, 20000, false})->body, "40 files; 2 problem(s) reported in Tarvik.");
}
