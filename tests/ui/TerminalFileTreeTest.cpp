#include "ui/trees/TerminalFileTree.h"

#include "app/CommandIds.h"
#include "app/EditCommands.h"
#include "app/MainFrame.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/ResultCodes.h"
#include "support/AppFixture.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "ui/trees/TerminalView.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QMenu>

namespace {

class TerminalTreeTest : public ::testing::Test {
protected:
    TerminalTreeTest() {
        bench.Add({.folder = "full", .port = "COM3"});
        bench.Add({.folder = "old", .port = "COM4", .model = "TQ-2200", .drives = "C:1024 D:2048"});
        bench.Add({.folder = "noc", .port = "COM5", .drives = "D:2048"});
        app = std::make_unique<AppFixture>();
        app->Frame().RunCommand(ID_FILE_MODE);
    }
    void Connect(const std::string& port) {
        app->Doc().settings.portName = port;
        app->Frame().RunCommand(ID_CONNECT);
    }
    CTerminalFileTree& Files() { return *g_terminalView->FileTree(); }
    CTerminalFileTree& Roster() { return *g_terminalView->Roster(); }
    QStringList& Messages() { return app->Prompter().messages; }

    TempBench bench;
    RecordingClock clock;
    std::unique_ptr<AppFixture> app;
};

TEST_F(TerminalTreeTest, TheRootListsTheDrivesAndATerminalWithoutEIsNoFault) {
    Connect("COM4");
    QTreeWidgetItem* root = Files().RootItem();
    AppFixture::Click(Files(), root);
    EXPECT_EQ(ChildTexts(root), (QStringList{"C:\\", "D:\\"}));
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(clock.pauses, (std::vector<int>{20, 20}));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(CFileTreeCtrl::ItemImage(root->child(0)), kKindFixed);
    EXPECT_EQ(root->child(0)->childCount(), 1);

    Connect("COM4");  // disconnect
    Connect("COM3");
    AppFixture::Click(Files(), Files().RootItem());
    EXPECT_EQ(ChildTexts(Files().RootItem()), (QStringList{"C:\\", "D:\\", "E:\\"}));
}

TEST_F(TerminalTreeTest, AFailureOnCStopsTheProbesWithItsMessage) {
    Connect("COM5");
    AppFixture::Click(Files(), Files().RootItem());
    EXPECT_EQ(ChildTexts(Files().RootItem()), QStringList{});
    EXPECT_EQ(Messages(), QStringList{QString::fromStdString(ResultCodeText(kInvalidDisk))});
    EXPECT_TRUE(clock.pauses.empty());
}

TEST_F(TerminalTreeTest, FoldersListTheirEntriesByNameAndAreReadAtEveryClick) {
    bench.WriteFile("full", "C/DATA/README", "x");
    bench.WriteFile("full", "C/DATA/ABCDEFGH.TXT", "12");
    bench.WriteFile("full", "C/DATA/stock.dat", "1");
    bench.WriteFile("full", "C/DATA/SUB/A.TXT", "");
    Connect("COM3");
    AppFixture::Click(Files(), Files().RootItem());
    QTreeWidgetItem* drive = Child(Files().RootItem(), "C:\\");
    AppFixture::Click(Files(), drive);
    QTreeWidgetItem* data = Child(drive, "DATA");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Files().GetItemPath(data), "C:\\DATA");
    AppFixture::Click(Files(), data);
    EXPECT_EQ(ChildTexts(data), (QStringList{"ABCDEFGH.TXT", "README.", "stock.dat", "SUB"}));
    EXPECT_EQ(CFileTreeCtrl::ItemImage(Child(data, "SUB")), kKindFolder);
    EXPECT_EQ(Files().GetItemPath(Child(data, "stock.dat")), "C:\\DATA\\stock.dat");
    EXPECT_TRUE(data->isExpanded());

    bench.WriteFile("full", "C/DATA/NEW.TXT", "");
    AppFixture::Click(Files(), data);
    EXPECT_FALSE(data->isExpanded());
    EXPECT_TRUE(Child(data, "NEW.TXT"));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(TerminalTreeTest, ProgramsAreNeverSelectedByAClick) {
    bench.WriteFile("full", "D/Program/MAIN.bas", "10 END");
    bench.WriteFile("full", "D/MAIN.bas", "10 END");
    bench.WriteFile("full", "D/OTHER.BAS", "10 END");
    Connect("COM3");
    AppFixture::Click(Files(), Files().RootItem());
    QTreeWidgetItem* drive = Child(Files().RootItem(), "D:\\");
    AppFixture::Click(Files(), drive);
    AppFixture::Click(Files(), Child(drive, "OTHER.BAS"));
    EXPECT_EQ(Files().SelectionList().size(), 1);
    AppFixture::Click(Files(), Child(drive, "MAIN.bas"), true);
    EXPECT_TRUE(Files().SelectionList().isEmpty());
    AppFixture::Click(Files(), Child(drive, "OTHER.BAS"));
    AppFixture::Click(Files(), Child(drive, "Program"), true);
    EXPECT_TRUE(Files().SelectionList().isEmpty());
}

TEST_F(TerminalTreeTest, AFolderOfATerminalThatWentAwayStaysAsItWas) {
    Connect("COM3");
    AppFixture::Click(Files(), Files().RootItem());
    bench.Remove("full");
    QTreeWidgetItem* drive = Child(Files().RootItem(), "C:\\");
    AppFixture::Click(Files(), drive);
    EXPECT_EQ(Messages(), QStringList{"Device is Off-line!"});
    EXPECT_EQ(drive->childCount(), 1);
}

class RosterTest : public TerminalTreeTest {
protected:
    RosterTest() { app->Frame().RunCommand(ID_PROJECT_MODE); }
};

TEST_F(RosterTest, ATerminalShowsTheProjectsWhoseInformationFilesLieOnD) {
    for (const char* name : {"D/SHOP.INF", "D/SHOP.BAS", "D/OLD.inf", "D/ZED.INF", "C/C.INF"}) {
        bench.WriteFile("full", name, "");
    }
    bench.WriteFile("full", "D/DIR.INF/X.TXT", "");  // a folder, not an information file
    app->NewConnect("COM3");
    QTreeWidgetItem* terminal = Roster().RootItem()->child(0);
    AppFixture::Click(Roster(), terminal);
    EXPECT_EQ(ChildTexts(terminal), (QStringList{"SHOP", "ZED"}));
    EXPECT_TRUE(terminal->isExpanded());
    EXPECT_EQ(CFileTreeCtrl::ItemImage(terminal->child(0)), kKindTerminalProject);
    EXPECT_EQ(Roster().RecordIndex(terminal->child(1)), 0);
}

TEST_F(RosterTest, DeletingSeveralProjectsRemovesEachAndAPasteOfNothingReadsThemAgain) {
    for (const char* name : {"D/SHOP.INF", "D/KEEP.INF", "D/ZED.INF"})
        bench.WriteFile("full", name, "");
    app->NewConnect("COM3");
    QTreeWidgetItem* terminal = Roster().RootItem()->child(0);
    AppFixture::Click(Roster(), terminal);
    Roster().AppendToSelection(Child(terminal, "SHOP"));
    Roster().AppendToSelection(Child(terminal, "ZED"));
    app->Frame().state.activeTree = &Roster();

    DeleteSelection(app->Frame().state);

    EXPECT_EQ(ChildTexts(terminal), QStringList{"KEEP"});
    EXPECT_EQ(QDir(bench.Path() + "/full/D").entryList(QDir::Files), QStringList{"KEEP.INF"});
    bench.WriteFile("full", "D/NEW.INF", "");
    AppFixture::RightClick(Roster(), terminal);
    app->Frame().ContextMenu(false)->hide();
    app->Frame().RunCommand(ID_EDIT_PASTE);
    EXPECT_EQ(ChildTexts(Roster().RootItem()->child(0)), (QStringList{"KEEP", "NEW"}));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(RosterTest, ATerminalThatWentAwayIsNeitherEmptiedNorExpanded) {
    bench.WriteFile("old", "D/SHOP.INF", "");
    app->NewConnect("COM3");
    app->NewConnect("COM4");
    QTreeWidgetItem* old = Roster().RootItem()->child(1);
    AppFixture::Click(Roster(), old);
    ASSERT_EQ(old->childCount(), 1);
    AppFixture::Click(Roster(), old);  // collapse
    bench.Remove("old");
    AppFixture::Click(Roster(), old);
    EXPECT_EQ(Messages(), QStringList{"Device is Off-line!"});
    EXPECT_EQ(old->childCount(), 1);
    EXPECT_FALSE(old->isExpanded());
    EXPECT_EQ(Roster().ListTerminalProjects(Roster().RootItem(), nullptr), 1);
}

TEST_F(RosterTest, RefillingKeepsChildIAsRecordIEvenWhenATerminalIsGone) {
    app->NewConnect("COM3");
    app->NewConnect("COM4");
    bench.Add({.folder = "late", .port = "COM6", .serial = "60000006"});
    app->NewConnect("COM6");
    bench.Remove("old");
    Roster().Fill();
    ASSERT_EQ(app->Doc().terminals.size(), 2u);
    EXPECT_EQ(app->Doc().terminals[1]->portName, "COM6");
    EXPECT_EQ(ChildTexts(Roster().RootItem()),
              (QStringList{"TQ-3100-10000042, COM3", "TQ-3100-60000006, COM6"}));
    EXPECT_TRUE(Messages().isEmpty());
}

}  // namespace
