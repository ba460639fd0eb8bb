#include "app/EditCommands.h"

#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "support/AppFixture.h"
#include "support/ModalDialogs.h"
#include "support/OwnJournal.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// The window in File Mode, connected to a bench terminal on COM3, with a PC drive item that
// stands for a temporary folder.
class EditCommandsTest : public ::testing::Test {
protected:
    EditCommandsTest() {
        bench.Add(kTerminal);
        app = std::make_unique<AppFixture>();
        app->Doc().settings.portName = "COM3";
        Frame().RunCommand(ID_FILE_MODE);
        Frame().RunCommand(ID_CONNECT);
        drive = Pc().InsertItem(Pc().RootItem(), root.path(), kKindFixed);
        Pc().InsertItem(drive, QString(), kKindRoot);
    }

    CMainFrame& Frame() { return app->Frame(); }
    ScriptedPrompter& Prompter() { return app->Prompter(); }
    CPCFileTree& Pc() { return *Frame().PcView()->FileTree(); }
    CTerminalFileTree& Terminal() { return *g_terminalView->FileTree(); }

    QString Path(const QString& relative) const { return root.path() + "/" + relative; }
    void Write(const QString& relative, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile file(Path(relative));
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    // Finds an item by its names from `top`, listing each folder on the way that is not
    // listed yet, as a click would.
    template <typename List>
    static QTreeWidgetItem* Walk(QTreeWidgetItem* top, const QStringList& names, List list) {
        QTreeWidgetItem* item = top;
        for (const QString& name : names) {
            if (!item) return nullptr;
            const bool unlisted = item->childCount() == 1 && item->child(0)->text(0).isEmpty();
            if (unlisted) list(item);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < item->childCount(); ++i) {
                if (item->child(i)->text(0) == name) next = item->child(i);
            }
            item = next;
        }
        return item;
    }
    QTreeWidgetItem* PcItem(const QString& relative) {
        return Walk(drive, relative.split('/'), [this](QTreeWidgetItem* item) {
            Pc().FillFolder(Pc().GetItemPath(item), item);
        });
    }
    // "C:\\DATA\\X.TXT" and the like; "C:\\" for a drive.
    QTreeWidgetItem* TerminalItem(const QString& path) {
        QStringList names = path.split('\\', Qt::SkipEmptyParts);
        names.first() += '\\';
        return Walk(Terminal().RootItem(), names,
                    [this](QTreeWidgetItem* item) { Terminal().FillFolder(item); });
    }
    QString TerminalFile(const QString& path) const { return bench.Path() + "/t/" + path; }

    // The clipboard as Cut or Copy leaves it, and the caret on the target of the Paste.
    void Clip(CFileTreeCtrl& source, QList<QTreeWidgetItem*> items, bool copy,
              QTreeWidgetItem* target) {
        source.ClearSelection();
        for (QTreeWidgetItem* item : items) source.AppendToSelection(item);
        source.SetCopyFlag(copy);
        Frame().state.clipboardSource = &source;
        Frame().state.activeTree = &Pc();
        Pc().SetCaretItem(target);
        Pc().SetContextItem(target);
    }
    void AnswerName(const QString& name) {
        WhenModalShown([name](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("nameEdit")->setText(name);
            dialog.findChild<QPushButton*>("okButton")->click();
        });
    }
    void RunOn(CFileTreeCtrl& tree, QTreeWidgetItem* item, int command) {
        Frame().state.activeTree = &tree;
        tree.SetContextItem(item);
        Frame().state.commands.rename = Frame().state.commands.newFolder = true;
        Frame().RunCommand(command);
    }

    const BenchTerminal kTerminal{.folder = "t", .port = "COM3"};
    OwnJournal journal;
    RecordingClock clock;
    TempBench bench;
    QTemporaryDir root;
    std::unique_ptr<AppFixture> app;
    QTreeWidgetItem* drive = nullptr;
};

class PcPasteCommandTest : public EditCommandsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PcPasteCommandTest, ShowsTheChangeInTheUsersOwnItemsAndEndsTheClipboard) {
    const bool copy = GetParam();
    Write("S/A.TXT", "a");
    Write("S/B.TXT", "b");
    QDir().mkpath(Path("T"));
    QTreeWidgetItem* file = PcItem("S/A.TXT");
    // The same folder listed a second time, as the home folder is under its drive: the paste
    // goes to the one the user chose, and that one shows it.
    QTreeWidgetItem* again = Pc().InsertItem(Pc().RootItem(), root.path(), kKindFixed);
    Pc().FillFolder(root.path(), again);
    QTreeWidgetItem* target = again->child(1);
    ASSERT_EQ(target->text(0), "T");
    Pc().FillFolder(Path("T"), PcItem("T"));
    Clip(Pc(), {file}, copy, target);

    Frame().RunCommand(ID_EDIT_PASTE);

    EXPECT_EQ(QFileInfo::exists(Path("S/A.TXT")), copy);
    EXPECT_TRUE(QFileInfo::exists(Path("T/A.TXT")));
    EXPECT_EQ(ChildTexts(target), QStringList{"A.TXT"});
    EXPECT_TRUE(target->isExpanded());
    EXPECT_EQ(ChildTexts(Pc().FindItem(Path("S"))),
              copy ? (QStringList{"A.TXT", "B.TXT"}) : QStringList{"B.TXT"});
    EXPECT_TRUE(Pc().SelectionList().isEmpty());
    EXPECT_EQ(Pc().ContextItem(), nullptr);
    EXPECT_EQ(Frame().state.clipboardSource, nullptr);
    EXPECT_EQ(OwnJournal::Lines(), QStringList());  // no terminal was involved
}

INSTANTIATE_TEST_SUITE_P(, PcPasteCommandTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Copy" : "Move"; });

TEST_F(EditCommandsTest, ATerminalFileDroppedOnAPcFolderMovesAndBothTreesShowIt) {
    bench.WriteFile("t", "C/DATA/X.TXT", "x");
    bench.WriteFile("t", "C/DATA/Y.TXT", "y");
    QDir().mkpath(Path("T"));
    QTreeWidgetItem* file = TerminalItem("C:\\DATA\\X.TXT");
    ASSERT_NE(file, nullptr);
    Terminal().AppendToSelection(file);
    Terminal().SetCopyFlag(false);

    Pc().AcceptDrop(PcItem("T"), Terminal());

    EXPECT_EQ(ChildTexts(Pc().FindItem(Path("T"))), QStringList{"X.TXT"});
    EXPECT_FALSE(QFileInfo::exists(TerminalFile("C/DATA/X.TXT")));
    EXPECT_EQ(ChildTexts(Terminal().FindItem("C:\\DATA")), QStringList{"Y.TXT"});
    EXPECT_TRUE(Terminal().SelectionList().isEmpty());
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_EQ(OwnJournal::Lines(), QStringList{"10000042|COM3|get|C:\\DATA\\X.TXT " + Path("T") + "|ok|"});
}

TEST_F(EditCommandsTest, PastingOntoAFileOrTheRootMovesNothingAndClearsBothSelections) {
    Write("S/A.TXT", "a");
    Write("T/B.TXT", "b");
    QTreeWidgetItem* file = PcItem("S/A.TXT");
    for (QTreeWidgetItem* target : {PcItem("T/B.TXT"), Pc().RootItem()}) {
        Pc().AppendToSelection(file);
        Pc().SetCopyFlag(false);
        Pc().SetContextItem(target);

        Pc().Paste(target, Pc());

        EXPECT_TRUE(Pc().SelectionList().isEmpty());
        EXPECT_EQ(Pc().ContextItem(), nullptr);
    }
    EXPECT_TRUE(QFileInfo::exists(Path("S/A.TXT")));
    EXPECT_EQ(QDir(Path("T")).entryList(QDir::Files), QStringList{"B.TXT"});
    EXPECT_TRUE(Prompter().messages.isEmpty());
}

TEST_F(EditCommandsTest, DeleteTakesEverySelectedItemInOrderAndLeavesNothingToPaste) {
    Write("F/A.TXT", "a");
    Write("F/SUB/B.TXT", "b");
    Write("F/C.TXT", "c");
    QTreeWidgetItem* a = PcItem("F/A.TXT");
    QTreeWidgetItem* sub = PcItem("F/SUB");
    Pc().AppendToSelection(a);
    Pc().AppendToSelection(sub);
    Frame().state.activeTree = &Pc();
    Frame().state.commands.del = true;

    Frame().RunCommand(ID_DELETE);

    EXPECT_EQ(QDir(Path("F")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"C.TXT"});
    EXPECT_EQ(ChildTexts(Pc().FindItem(Path("F"))), QStringList{"C.TXT"});
    EXPECT_TRUE(Pc().SelectionList().isEmpty());
    EXPECT_FALSE(Frame().Action(ID_EDIT_PASTE)->isEnabled());
}

TEST_F(EditCommandsTest, TheDeleteKeyTakesWhatTheUserChoseLastAndShiftDelNeverDeletes) {
    Write("X/INNER.TXT", "x");
    Write("F.TXT", "f");
    QTreeWidgetItem* folder = PcItem("X");
    QTreeWidgetItem* file = PcItem("F.TXT");
    const auto press = [this](Qt::KeyboardModifiers modifiers) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, modifiers);
        QApplication::sendEvent(&Pc(), &key);
    };

    // A right click, its menu dismissed, then a left click elsewhere.
    AppFixture::RightClick(Pc(), folder);
    Frame().ContextMenu(true)->hide();
    AppFixture::Click(Pc(), file);
    press(Qt::NoModifier);
    EXPECT_FALSE(QFileInfo::exists(Path("F.TXT")));
    EXPECT_TRUE(QFileInfo::exists(Path("X/INNER.TXT")));

    // Cut is off for a folder, and the key must not fall through to Delete.
    AppFixture::Click(Pc(), PcItem("X"));
    press(Qt::ShiftModifier);
    EXPECT_TRUE(QFileInfo::exists(Path("X/INNER.TXT")));
    EXPECT_TRUE(Prompter().messages.isEmpty());
}

TEST_F(EditCommandsTest, DeletingSeveralProjectsDeletesEachOneAndReadsTheListAgain) {
    Frame().RunCommand(ID_PROJECT_MODE);
    for (const char* name : {"ALPHA.prj", "BETA.prj", "GAMMA.prj", "BETA.inf"}) {
        QFile file(DataFolder + "/" + name);
        file.open(QIODevice::WriteOnly);
    }
    CPCFileTree& projects = *Frame().PcView()->ProjectTree();
    projects.Fill();
    projects.AppendToSelection(projects.FindItem("ALPHA"));
    projects.AppendToSelection(projects.FindItem("BETA"));
    Frame().state.activeTree = &projects;

    DeleteSelection(Frame().state);

    EXPECT_EQ(QDir(DataFolder).entryList(QDir::Files), (QStringList{"BETA.inf", "GAMMA.prj"}));
    EXPECT_EQ(ChildTexts(projects.RootItem()), QStringList{"GAMMA"});
}

TEST_F(EditCommandsTest, NewFolderOnThePcMakesItAndShowsItUnderTheExpandedItem) {
    QDir().mkpath(Path("P"));
    QTreeWidgetItem* parent = PcItem("P");
    AnswerName("New Folder 2");

    RunOn(Pc(), parent, ID_NEW_FOLDER);

    EXPECT_TRUE(QFileInfo(Path("P/New Folder 2")).isDir());
    QTreeWidgetItem* listed = Pc().FindItem(Path("P"));
    EXPECT_EQ(ChildTexts(listed), QStringList{"New Folder 2"});
    EXPECT_TRUE(listed->isExpanded());
}

TEST_F(EditCommandsTest, NewFolderOnTheTerminalAsksWithTheTerminalsLimit) {
    QTreeWidgetItem* drive = TerminalItem("C:\\");
    int limit = 0;
    WhenModalShown([&limit](QDialog& dialog) {
        limit = dialog.findChild<QLineEdit*>("nameEdit")->maxLength();
        dialog.reject();
    });

    RunOn(Terminal(), drive, ID_NEW_FOLDER);

    EXPECT_EQ(limit, 8);
    EXPECT_TRUE(QDir(TerminalFile("C")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(EditCommandsTest, RenameOnThePcRefreshesTheParentFolder) {
    Write("F/OLD.TXT", "o");
    AnswerName("NEW.TXT");

    RunOn(Pc(), PcItem("F/OLD.TXT"), ID_RENAME);

    EXPECT_EQ(QDir(Path("F")).entryList(QDir::Files), QStringList{"NEW.TXT"});
    EXPECT_EQ(ChildTexts(Pc().FindItem(Path("F"))), QStringList{"NEW.TXT"});
    EXPECT_TRUE(Prompter().messages.isEmpty());
}

TEST_F(EditCommandsTest, ATerminalRenameKeepsTheFileInItsFolder) {
    bench.WriteFile("t", "C/DATA/X.TXT", "x");
    AnswerName("Y.TXT");

    RunOn(Terminal(), TerminalItem("C:\\DATA\\X.TXT"), ID_RENAME);

    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(TerminalFile("C/DATA/Y.TXT")));
    EXPECT_FALSE(QFileInfo::exists(TerminalFile("C/DATA/X.TXT")));
    EXPECT_EQ(ChildTexts(Terminal().FindItem("C:\\DATA")), QStringList{"Y.TXT"});
    EXPECT_EQ(OwnJournal::Lines(), QStringList{"10000042|COM3|rename|C:\\DATA\\X.TXT Y.TXT|ok|"});
}

struct TerminalRenameCase {
    const char* name;
    bool offline;
    const char* newName;
    const char* message;
};

void PrintTo(const TerminalRenameCase& c, std::ostream* out) {
    *out << c.name;
}

class TerminalRenameTest : public EditCommandsTest,
                           public ::testing::WithParamInterface<TerminalRenameCase> {};

TEST_P(TerminalRenameTest, AFailedRenameIsToldAndChangesNothing) {
    const TerminalRenameCase& c = GetParam();
    bench.WriteFile("t", "C/X.TXT", "x");
    bench.WriteFile("t", "C/Y.TXT", "y");
    QTreeWidgetItem* file = TerminalItem("C:\\X.TXT");
    if (c.offline) {
        BenchTerminal off = kTerminal;
        off.offline = true;
        bench.Add(off);
    }
    AnswerName(c.newName);

    RunOn(Terminal(), file, ID_RENAME);

    EXPECT_EQ(Prompter().messages, QStringList{c.message});
    EXPECT_EQ(QDir(TerminalFile("C")).entryList(QDir::Files), (QStringList{"X.TXT", "Y.TXT"}));
    EXPECT_EQ(ChildTexts(Terminal().FindItem("C:\\")), (QStringList{"X.TXT", "Y.TXT"}));
    EXPECT_EQ(OwnJournal::Lines(),
              QStringList{QStringLiteral("10000042|COM3|rename|C:\\X.TXT %1|failed|%2").arg(c.newName, c.message)});
}

INSTANTIATE_TEST_SUITE_P(
    , TerminalRenameTest,
    ::testing::Values(TerminalRenameCase{"Offline", true, "Z.TXT", "Device is Off-line"},
                      TerminalRenameCase{"NameTaken", false, "Y.TXT",
                                         "The file name already exist."},
                      TerminalRenameCase{"IllegalName", false, "A*B.TXT", "Illegal file name."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
