#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "core/TarvikDoc.h"
#include "project/ProjectPack.h"
#include "support/AppFixture.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// The roster's part of a drop and a removal, driven through the window as a user would.
class RosterDropTest : public ::testing::Test {
protected:
    RosterDropTest() {
        bench.Add({.folder = "t", .port = "COM3"});
        bench.Add({.folder = "u", .port = "COM4", .serial = "20000002"});
        for (const char* terminal : {"t", "u"}) {
            bench.WriteFile(terminal, "D/PROGRAM/MAIN.BAS", "10 END");
            bench.WriteFile(terminal, "D/OLD.INF", "");
        }
        app = std::make_unique<AppFixture>();
        Pack("STOCK", {0, "A00-0.80"},
             {{"D:\\PROGRAM\\STOCK.bas", "10 PRINT 1"}, {"D:\\STOCK\\ITEMS.DAT", "items"}});
        Pack("SCAN2D", {2, "A00-0.90"}, {{"D:\\SCAN2D\\CODES.DAT", "codes"}});
        Projects().Fill();
        app->NewConnect("COM3");
        app->NewConnect("COM4");
    }

    void Pack(const QString& name, const PackRequirements& requirements,
              const std::vector<PackMember>& members) {
        QFile file(DataFolder + "/" + name + ".prj");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(BuildProjectFile(requirements, members).file);
    }
    bool OnBench(const char* terminal, const char* path) const {
        return QFileInfo::exists(bench.Path() + "/" + terminal + "/" + path);
    }

    CPCFileTree& Projects() { return *g_mainFrame->PcView()->ProjectTree(); }
    CTerminalFileTree& Roster() { return *g_terminalView->Roster(); }
    QTreeWidgetItem* Project(const QString& name) { return Child(Projects().RootItem(), name); }
    QTreeWidgetItem* Terminal(int i) { return Roster().RootItem()->child(i); }
    ScriptedPrompter& Prompter() { return app->Prompter(); }

    TempBench bench;
    RecordingClock clock;
    std::unique_ptr<AppFixture> app;
};

TEST_F(RosterDropTest, AProjectDraggedOntoATerminalIsInstalledThereAndShown) {
    AppFixture::Drag(Projects(), Project("STOCK"), Roster(), Terminal(1));
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_TRUE(OnBench("u", "D/STOCK.INF"));
    EXPECT_TRUE(OnBench("u", "D/STOCK/ITEMS.DAT"));
    EXPECT_FALSE(OnBench("t", "D/STOCK.INF"));
    EXPECT_EQ(ChildTexts(Terminal(1)), (QStringList{"OLD", "STOCK"}));
    EXPECT_TRUE(Terminal(1)->isExpanded());
    EXPECT_TRUE(Projects().SelectionList().isEmpty());
    EXPECT_TRUE(Roster().SelectionList().isEmpty());
}

TEST_F(RosterDropTest, AProjectPastedOntoATerminalOfTheRightClickIsInstalledThere) {
    // Copy is never offered on a project; a Delete leaves its tree as the clipboard too.
    AppFixture::Click(Projects(), Project("STOCK"));
    app->Frame().state.clipboardSource = &Projects();
    AppFixture::RightClick(Roster(), Terminal(0));
    app->Frame().RunCommand(ID_EDIT_PASTE);
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_TRUE(OnBench("t", "D/PROGRAM/STOCK.BAS"));
    EXPECT_EQ(ChildTexts(Terminal(0)), (QStringList{"OLD", "STOCK"}));
}

TEST_F(RosterDropTest, DroppingOntoTheRootOrAnInstalledProjectDoesNothing) {
    AppFixture::Click(Roster(), Terminal(0));
    AppFixture::Drag(Projects(), Project("SCAN2D"), Roster(), Roster().RootItem());
    AppFixture::Drag(Projects(), Project("SCAN2D"), Roster(), Child(Terminal(0), "OLD"));
    EXPECT_TRUE(Prompter().questions.isEmpty());
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_FALSE(OnBench("t", "D/SCAN2D"));
    EXPECT_EQ(ChildTexts(Terminal(0)), QStringList{"OLD"});
}

TEST_F(RosterDropTest, ARefusedQuestionEndsTheDropAndLeavesTheTerminalWithoutChildren) {
    AppFixture::Click(Roster(), Terminal(0));
    ASSERT_EQ(ChildTexts(Terminal(0)), QStringList{"OLD"});
    AppFixture::Click(Projects(), Project("SCAN2D"));
    AppFixture::Click(Projects(), Project("STOCK"), true);
    Prompter().AnswerQuestions({false});
    AppFixture::Drag(Projects(), Project("STOCK"), Roster(), Terminal(0));
    EXPECT_EQ(Prompter().questions.size(), 1);
    EXPECT_FALSE(OnBench("t", "D/SCAN2D"));
    EXPECT_FALSE(OnBench("t", "D/STOCK"));
    EXPECT_EQ(Terminal(0)->childCount(), 0);
}

TEST_F(RosterDropTest, DeleteRemovesAnInstalledProjectAndListsTheTerminalAgain) {
    AppFixture::Drag(Projects(), Project("STOCK"), Roster(), Terminal(0));
    ASSERT_TRUE(OnBench("t", "D/STOCK.INF"));
    AppFixture::RightClick(Roster(), Child(Terminal(0), "STOCK"));
    app->Frame().RunCommand(ID_DELETE);
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_FALSE(OnBench("t", "D/STOCK.INF"));
    EXPECT_FALSE(OnBench("t", "D/PROGRAM/STOCK.BAS"));
    EXPECT_TRUE(OnBench("t", "D/STOCK/ITEMS.DAT"));
    EXPECT_EQ(ChildTexts(Terminal(0)), QStringList{"OLD"});
}

TEST_F(RosterDropTest, ATerminalThatDoesNotAnswerKeepsItsItemsAndTheSelection) {
    AppFixture::Click(Roster(), Terminal(0));
    bench.Add({.folder = "t", .port = "COM3", .offline = true});
    AppFixture::Drag(Projects(), Project("STOCK"), Roster(), Terminal(0));
    EXPECT_EQ(Prompter().messages, QStringList{"Device is Off-line!"});
    EXPECT_EQ(ChildTexts(Terminal(0)), QStringList{"OLD"});
    EXPECT_EQ(Projects().SelectionList().size(), 1);

    AppFixture::RightClick(Roster(), Child(Terminal(0), "OLD"));
    app->Frame().RunCommand(ID_DELETE);
    EXPECT_EQ(Prompter().messages, (QStringList{"Device is Off-line!", "Device is Off-line!"}));
    EXPECT_TRUE(OnBench("t", "D/OLD.INF"));
}

}  // namespace
