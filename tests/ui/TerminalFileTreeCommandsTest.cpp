#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "platform/LocalFileSystem.h"
#include "project/ProjectBenchFixture.h"
#include "project/ProjectPack.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/ModalDialogs.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "terminal/ItemProperties.h"
#include "terminal/TerminalOperationFixture.h"
#include "ui/trees/DesktopDrag.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QApplication>
#include <QDateTime>
#include <QDropEvent>
#include <QPushButton>
#include <QMimeData>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>
#include <cstring>
#include <gtest/gtest.h>
#include <utime.h>

namespace {

constexpr char kUsbPort[] = "TQ-3100-0001";

// File Mode connected to a USB terminal, with a temporary PC folder shown as a drive of the
// PC tree and the terminal's drive C: listed.
class TerminalCommandsTest : public ::testing::Test {
protected:
    TerminalCommandsTest() {
        bench.Add({.folder = "t1", .port = kUsbPort});
        bench.WriteFile("t1", "C/DATA/OLD.DAT", "old");
        app = std::make_unique<AppFixture>();
        Frame().RunCommand(ID_FILE_MODE);
        app->Doc().settings.portName = kUsbPort;
        Frame().RunCommand(ID_CONNECT);
        pcDrive = Pc().InsertItem(Pc().RootItem(), pc.path(), kKindFixed);
    }

    CMainFrame& Frame() { return app->Frame(); }
    CPCFileTree& Pc() { return *Frame().PcView()->FileTree(); }
    CTerminalFileTree& Terminal() { return *g_terminalView->FileTree(); }
    ScriptedPrompter& Prompter() { return app->Prompter(); }

    void WritePc(const QString& relative, const QByteArray& content) {
        QDir().mkpath(QFileInfo(pc.filePath(relative)).path());
        QFile file(pc.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    std::optional<QByteArray> ReadBench(const QString& relative) {
        QFile file(bench.Path() + "/t1/" + relative);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll();
    }

    // Lists the PC folders down to `relative` ("" for the drive) and answers its item.
    QTreeWidgetItem* ShowPc(const QString& relative) {
        Pc().FillFolder(pc.path(), pcDrive);
        QString path = pc.path();
        QTreeWidgetItem* item = pcDrive;
        for (const QString& part : relative.split('/', Qt::SkipEmptyParts)) {
            path += "/" + part;
            item = Pc().FindItem(path);
            if (item && CFileTreeCtrl::ItemImage(item) == kKindFolder) Pc().FillFolder(path, item);
        }
        return item;
    }
    // Lists the terminal from its root down to `path` ("C:\DATA") and answers its item.
    QTreeWidgetItem* ShowTerminal(const QString& path) {
        Terminal().FillFolder(Terminal().RootItem());
        QString prefix;
        QTreeWidgetItem* item = nullptr;
        for (const QString& part : path.split('\\', Qt::SkipEmptyParts)) {
            prefix = prefix.isEmpty()        ? part + "\\"
                     : prefix.endsWith('\\') ? prefix + part
                                             : prefix + "\\" + part;
            item = Terminal().FindItem(prefix);
            if (!item) return nullptr;
            if (CFileTreeCtrl::ItemImage(item) != kKindFile) Terminal().FillFolder(item);
        }
        clock.pauses.clear();
        return item;
    }
    // A right click with its context menu closed again, as a command from it would.
    void RightClick(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
        tree.scrollToItem(item);
        const QRect row = tree.visualItemRect(item);
        const QPointF point(row.left() + tree.iconSize().width() + 8, row.center().y());
        QMouseEvent press(QEvent::MouseButtonPress, point, tree.viewport()->mapToGlobal(point),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &press);
        Frame().ContextMenu(true)->hide();
    }

    TempBench bench;
    RecordingClock clock;
    QTemporaryDir pc;
    std::unique_ptr<AppFixture> app;
    QTreeWidgetItem* pcDrive = nullptr;
};

class PasteCommandTest : public TerminalCommandsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PasteCommandTest, CopyOrCutThenPasteOntoATerminalFolderListsItAndEndsTheClipboard) {
    const bool copy = GetParam();
    WritePc("X.TXT", "data");
    QTreeWidgetItem* file = ShowPc("X.TXT");
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");

    AppFixture::Click(Pc(), file);
    Frame().RunCommand(copy ? ID_EDIT_COPY : ID_EDIT_CUT);
    RightClick(Terminal(), data);
    Frame().RunCommand(ID_EDIT_PASTE);

    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_EQ(ReadBench("C/DATA/X.TXT"), "data");
    EXPECT_EQ(ChildTexts(data), (QStringList{"OLD.DAT", "X.TXT"}));
    EXPECT_TRUE(data->isExpanded());
    EXPECT_EQ(clock.pauses, std::vector<int>{500});
    EXPECT_EQ(QFile::exists(pc.filePath("X.TXT")), copy);
    EXPECT_EQ(Pc().FindItem(pc.filePath("X.TXT")) != nullptr, copy);
    EXPECT_TRUE(Pc().SelectionList().isEmpty());
    EXPECT_EQ(Frame().state.clipboardSource, nullptr);
}

INSTANTIATE_TEST_SUITE_P(CopyAndCut, PasteCommandTest, ::testing::Bool());

TEST_F(TerminalCommandsTest, APcFileDraggedOntoATerminalFolderLandsThere) {
    WritePc("X.TXT", "data");
    QTreeWidgetItem* file = ShowPc("X.TXT");
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    const auto centre = [](CFileTreeCtrl& tree, QTreeWidgetItem* item) {
        tree.scrollToItem(item);
        const QRect row = tree.visualItemRect(item);
        return QPointF(row.left() + tree.iconSize().width() + 8, row.center().y());
    };
    const QPointF from = centre(Pc(), file);
    const QPointF to = Terminal().viewport()->mapToGlobal(centre(Terminal(), data));
    QWidget* viewport = Pc().viewport();

    QMouseEvent press(QEvent::MouseButtonPress, from, viewport->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent move(QEvent::MouseMove, viewport->mapFromGlobal(to), to, Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, viewport->mapFromGlobal(to), to, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);

    EXPECT_EQ(ReadBench("C/DATA/X.TXT"), "data");
    EXPECT_TRUE(ChildTexts(data).contains("X.TXT"));
    EXPECT_TRUE(QFile::exists(pc.filePath("X.TXT")));
}

// The folder stays on the PC and its tree is left as it was until read again.
TEST_F(TerminalCommandsTest, AMovedFolderLeavesThePcTreeAsItWas) {
    WritePc("WORK/A.TXT", "a");
    WritePc("WORK/.KEEP", "k");
    QTreeWidgetItem* work = ShowPc("WORK");
    QTreeWidgetItem* drive = ShowTerminal("C:\\");
    AppFixture::Click(Pc(), work);
    Pc().SetCopyFlag(false);

    {
        OperationScope operation(Frame());
        Terminal().Paste(drive, Pc());
    }

    EXPECT_EQ(ReadBench("C/WORK/A.TXT"), "a");
    EXPECT_EQ(Pc().FindItem(pc.filePath("WORK")), work);
    EXPECT_EQ(ChildTexts(work), QStringList{"A.TXT"});
    EXPECT_FALSE(QFile::exists(pc.filePath("WORK/A.TXT")));
    EXPECT_TRUE(QFile::exists(pc.filePath("WORK/.KEEP")));
    EXPECT_TRUE(ChildTexts(drive).contains("WORK"));
}

struct DeviceNotice {
    DeviceEvent event;
    bool unplug;
    QStringList messages;
    std::vector<int> pauses;
};

void PrintTo(const DeviceNotice& value, std::ostream* out) {
    *out << (value.unplug ? "unplugged" : "arrival");
}

class DeviceNoticeTest : public TerminalCommandsTest,
                         public ::testing::WithParamInterface<DeviceNotice> {};

TEST_P(DeviceNoticeTest, ANoticeDuringTheOverwriteQuestionWaitsUntilThePasteEnds) {
    const DeviceNotice& row = GetParam();
    bench.WriteFile("t1", "C/DATA/X.TXT", "old");
    WritePc("X.TXT", "new");
    QTreeWidgetItem* file = ShowPc("X.TXT");
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    AppFixture::Click(Pc(), file);
    Frame().RunCommand(ID_EDIT_CUT);
    RightClick(Terminal(), data);
    Prompter().AnswerQuestions({true});
    Prompter().onQuestion = [&] {
        if (row.unplug) bench.Remove("t1");
        Frame().OnDeviceChange(row.event);
        // Nothing of the tree went while the question was open.
        EXPECT_EQ(Terminal().FindItem("C:\\DATA"), data);
        EXPECT_TRUE(Terminal().isEnabled());
    };

    Frame().RunCommand(ID_EDIT_PASTE);

    EXPECT_EQ(Prompter().messages, row.messages);
    EXPECT_EQ(clock.pauses, row.pauses);
    // A move that failed keeps its PC file; one that went through leaves a whole copy.
    EXPECT_EQ(QFile::exists(pc.filePath("X.TXT")), row.unplug);
    if (!row.unplug) {
        EXPECT_EQ(ReadBench("C/DATA/X.TXT"), "new");
    }
    // The notice was handled once the paste ended.
    EXPECT_EQ(Terminal().isEnabled(), !row.unplug);
    EXPECT_EQ(Terminal().RootItem()->childCount(), row.unplug ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Notices, DeviceNoticeTest,
    ::testing::Values(
        DeviceNotice{DeviceEvent::Arrival, false, {}, {500}},
        DeviceNotice{DeviceEvent::RemoveComplete, true, {"Invalid port handle!"}, {}}));

TEST_F(TerminalCommandsTest, TheDeleteKeyDeletesTheSelectionInOrderAndKeepsARefusedFolder) {
    bench.WriteFile("t1", "C/A.TXT", "a");
    bench.WriteFile("t1", "C/B.TXT", "b");
    bench.WriteFile("t1", "C/FULL/Y.TXT", "y");
    QTreeWidgetItem* drive = ShowTerminal("C:\\");
    AppFixture::Click(Terminal(), Terminal().FindItem("C:\\A.TXT"));
    AppFixture::Click(Terminal(), Terminal().FindItem("C:\\FULL"), true);
    AppFixture::Click(Terminal(), Terminal().FindItem("C:\\B.TXT"), true);

    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&Terminal(), &key);

    EXPECT_EQ(Prompter().messages, QStringList{"Delete folder fail!"});
    EXPECT_EQ(ChildTexts(drive), (QStringList{"DATA", "FULL"}));
    EXPECT_FALSE(ReadBench("C/A.TXT"));
    EXPECT_FALSE(ReadBench("C/B.TXT"));
    EXPECT_EQ(ReadBench("C/FULL/Y.TXT"), "y");
    EXPECT_TRUE(Terminal().SelectionList().isEmpty());
}

TEST_F(TerminalCommandsTest, FormatEmptiesTheRightClickedDriveAndListsItAfresh) {
    QTreeWidgetItem* drive = ShowTerminal("C:\\");
    RightClick(Terminal(), drive);
    Frame().RunCommand(ID_FORMAT);

    EXPECT_EQ(Prompter().messages, QStringList{"Format Disk C:\\ done."});
    EXPECT_FALSE(ReadBench("C/DATA/OLD.DAT"));
    EXPECT_TRUE(ChildTexts(drive).isEmpty());
    EXPECT_EQ(clock.pauses, std::vector<int>{100});
}

TEST_F(TerminalCommandsTest, NewFolderAppearsUnderTheRightClickedItem) {
    QTreeWidgetItem* drive = ShowTerminal("C:\\");
    RightClick(Terminal(), drive);
    Terminal().NewFolder("NEW");

    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_TRUE(QFileInfo(bench.Path() + "/t1/C/NEW").isDir());
    EXPECT_EQ(ChildTexts(drive), (QStringList{"DATA", "NEW"}));
    EXPECT_TRUE(drive->isExpanded());
}

TEST_F(TerminalCommandsTest, PastingTerminalItemsOntoTheTerminalOnlyClearsTheSelections) {
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    AppFixture::Click(Terminal(), Terminal().FindItem("C:\\DATA\\OLD.DAT"));

    Terminal().Paste(Terminal().FindItem("C:\\"), Terminal());

    EXPECT_TRUE(Terminal().SelectionList().isEmpty());
    EXPECT_TRUE(Prompter().messages.isEmpty());
    EXPECT_EQ(ChildTexts(data), QStringList{"OLD.DAT"});
}

TEST_F(TerminalCommandsTest, AnUnreachableTerminalKeepsBothSelections) {
    WritePc("X.TXT", "data");
    QTreeWidgetItem* file = ShowPc("X.TXT");
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    AppFixture::Click(Pc(), file);
    bench.Remove("t1");

    Terminal().Paste(data, Pc());

    EXPECT_EQ(Prompter().messages, QStringList{"Device is Off-line!"});
    EXPECT_EQ(Pc().SelectionList(), QList<QTreeWidgetItem*>{file});
    EXPECT_EQ(ChildTexts(data), QStringList{"OLD.DAT"});
}

// A file manager's drag over an item of `tree`: entered, moved, and dropped when `drop`.
// Answers whether the tree took it.
bool DesktopDrag(CFileTreeCtrl& tree, QTreeWidgetItem* item, const QList<QUrl>& urls, bool drop,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    tree.scrollToItem(item);
    const QPointF point = tree.visualItemRect(item).center();
    QMimeData mime;
    mime.setUrls(urls);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(point.toPoint(), actions, &mime, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(tree.viewport(), &enter);
    QDragMoveEvent move(point.toPoint(), actions, &mime, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(tree.viewport(), &move);
    if (!move.isAccepted() || !drop) return move.isAccepted();
    QDropEvent dropped(point, actions, &mime, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(tree.viewport(), &dropped);
    QCoreApplication::processEvents();  // the paste runs once the drop is answered
    return dropped.isAccepted() && dropped.dropAction() == (modifiers & Qt::ShiftModifier ? Qt::MoveAction : Qt::CopyAction);
}

TEST_F(TerminalCommandsTest, FilesFromAFileManagerArePastedOntoATerminalFolderOrAPcFolder) {
    WritePc("A.TXT", "a");
    WritePc("SUB/B.TXT", "b");
    WritePc("long name.text", "x");
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    const QUrl a = QUrl::fromLocalFile(pc.filePath("A.TXT"));
    const QUrl sub = QUrl::fromLocalFile(pc.filePath("SUB"));
    // Anything but local files is refused, and so is a file where no folder is.
    EXPECT_FALSE(DesktopDrag(Terminal(), data, {a, QUrl("https://example.org/A.TXT")}, false));
    EXPECT_FALSE(DesktopDrag(Terminal(), data->child(0), {a}, false));
    // Nor is a drop taken while other work runs: it would start under it.
    Frame().BeginOperation();
    EXPECT_FALSE(DesktopDrag(Terminal(), data, {a}, false));
    Frame().EndOperation();
    ASSERT_TRUE(DesktopDrag(Terminal(), data, {a, sub}, true));
    EXPECT_EQ(ReadBench("C/DATA/A.TXT"), "a");
    EXPECT_EQ(ReadBench("C/DATA/SUB/B.TXT"), "b");
    EXPECT_EQ(ChildTexts(Terminal().FindItem("C:\\DATA")), (QStringList{"A.TXT", "OLD.DAT", "SUB"}));
    // Under the same rules as a paste: a name the terminal cannot hold stays, with a message.
    ASSERT_TRUE(DesktopDrag(Terminal(), Terminal().FindItem("C:\\DATA"), {QUrl::fromLocalFile(pc.filePath("long name.text"))}, true));
    EXPECT_EQ(Prompter().messages.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(pc.filePath("long name.text")));

    // Onto a PC folder: a copy, a move with Shift.
    QTreeWidgetItem* subItem = ShowPc("SUB");
    ASSERT_TRUE(DesktopDrag(Pc(), subItem, {a}, true));
    EXPECT_TRUE(QFileInfo::exists(pc.filePath("SUB/A.TXT")));
    EXPECT_TRUE(QFileInfo::exists(pc.filePath("A.TXT")));
    WritePc("C.TXT", "c");
    ASSERT_TRUE(DesktopDrag(Pc(), ShowPc("SUB"), {QUrl::fromLocalFile(pc.filePath("C.TXT"))}, true, Qt::ShiftModifier));
    EXPECT_TRUE(QFileInfo::exists(pc.filePath("SUB/C.TXT")));
    EXPECT_FALSE(QFileInfo::exists(pc.filePath("C.TXT")));
}

TEST_F(TerminalCommandsTest, TerminalFilesDraggedOutAreFetchedWhenAskedForAndGoneAfterTheDrag) {
    QTreeWidgetItem* data = ShowTerminal("C:\\DATA");
    AppFixture::Click(Terminal(), data->child(0));
    std::unique_ptr<QMimeData> mime(Terminal().DragOutMime());
    ASSERT_TRUE(mime);
    auto& terminalFiles = static_cast<TerminalFilesMime&>(*mime);
    EXPECT_TRUE(terminalFiles.FetchFolder().isEmpty());  // nothing fetched before a drop
    const QList<QUrl> urls = mime->urls();
    ASSERT_EQ(urls.size(), 1);
    QFile fetched(urls[0].toLocalFile());
    ASSERT_TRUE(fetched.open(QIODevice::ReadOnly));
    EXPECT_EQ(fetched.readAll(), "old");
    const QString folder = terminalFiles.FetchFolder();
    mime.reset();
    EXPECT_FALSE(QFileInfo::exists(folder));

    // PC items leave as their file:// URIs.
    WritePc("A.TXT", "a");
    AppFixture::Click(Pc(), ShowPc("A.TXT"));
    std::unique_ptr<QMimeData> pcMime(Pc().DragOutMime());
    ASSERT_TRUE(pcMime);
    EXPECT_EQ(pcMime->urls(), QList<QUrl>{QUrl::fromLocalFile(pc.filePath("A.TXT"))});
}

}  // namespace

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

namespace {

// The Property command in the window, on the demo-like bench of the fixture.
class PropertyCommandTest : public ::testing::Test {
protected:
    PropertyCommandTest() {
        bench.Add({.folder = "t1", .port = "COM3", .firmware = "A00-1.10", .serial = "10000042"});
        bench.WriteFile("t1", "C/DATA/STOCK.DAT", "12345");
        bench.WriteFile("t1", "D/SHOP.INF",
                        "[Ver.]1\r\n[Info]D:\\PROGRAM\\SHOP.bas,6\r\n[Info]D:\\SHOP\\SMALL.cft,4\r\n"
                        "[Info]C:\\SHOP\\A.DAT,4\r\n");
        app = std::make_unique<AppFixture>();
    }

    CMainFrame& Frame() { return app->Frame(); }
    // A right click with its context menu closed again, as a command from it would.
    void RightClick(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
        AppFixture::RightClick(tree, item);
        Frame().ContextMenu(tree.IsFileMode())->hide();
    }
    // Runs Property and answers the texts of the named controls of the dialog it opens.
    QStringList Property(std::initializer_list<const char*> controls) {
        QStringList texts;
        bool shown = false;
        WhenModalShown([&](QDialog& dialog) {
            shown = true;
            texts << dialog.windowTitle();
            for (const char* name : controls) {
                if (auto* edit = dialog.findChild<QLineEdit*>(name)) {
                    texts << edit->text();
                } else if (auto* label = dialog.findChild<QLabel*>(name)) {
                    texts << label->text();
                } else if (auto* list = dialog.findChild<QTreeWidget*>(name)) {
                    QStringList items;
                    for (int i = 0; i < list->topLevelItemCount(); ++i) items << list->topLevelItem(i)->text(0);
                    texts << items.join(',');
                } else {
                    texts << QStringLiteral("<no %1>").arg(name);
                }
            }
            dialog.accept();
        });
        Frame().RunCommand(ID_PROPERTY);
        EXPECT_TRUE(shown);
        return texts;
    }

    TempBench bench;
    RecordingClock clock;
    std::unique_ptr<AppFixture> app;
};

TEST_F(PropertyCommandTest, FileModeShowsADriveAFolderAndAFile) {
    Frame().RunCommand(ID_FILE_MODE);
    app->Doc().settings.portName = "COM3";
    Frame().RunCommand(ID_CONNECT);
    CTerminalFileTree& files = *g_terminalView->FileTree();
    AppFixture::Click(files, files.RootItem());
    QTreeWidgetItem* drive = Child(files.RootItem(), "C:\\");
    ASSERT_TRUE(drive);
    files.FillFolder(drive);
    QTreeWidgetItem* data = Child(drive, "DATA");
    ASSERT_TRUE(data);
    files.FillFolder(data);

    RightClick(files, drive);
    EXPECT_EQ(Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit", "dateEdit"}),
              (QStringList{"Properties", "C:\\", "Local Disc", "1 KB", "2047 KB", "2048 KB"}));

    RightClick(files, data);
    const QStringList folder = Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit"});
    EXPECT_EQ(folder, (QStringList{"Properties", "DATA", "File Folder", "C:", "5 bytes"}));

    RightClick(files, Child(data, "STOCK.DAT"));
    const QStringList file = Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit"});
    EXPECT_EQ(file, (QStringList{"Properties", "STOCK.DAT", "File", "C:\\DATA", "5 bytes"}));
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    // No device notice was handled while the terminal was being asked.
    EXPECT_FALSE(Frame().OperationRunning());
}

TEST_F(PropertyCommandTest, ProjectModeShowsATerminalItsProjectAndAPcProject) {
    app->NewConnect("COM3");
    CTerminalFileTree& roster = *g_terminalView->Roster();
    QTreeWidgetItem* terminal = roster.RootItem()->child(0);
    ASSERT_TRUE(terminal);

    RightClick(roster, terminal);
    EXPECT_EQ(Property({"modelText", "firmwareText", "serialText"}),
              (QStringList{"Property", "TQ-3100", "A00-1.10", "10000042"}));

    AppFixture::Click(roster, terminal);
    QTreeWidgetItem* project = Child(terminal, "SHOP");
    ASSERT_TRUE(project);
    RightClick(roster, project);
    EXPECT_EQ(Property({"programEdit", "fontList", "dataFileList", "uploadEdit"}),
              (QStringList{"Property", "SHOP.bas", "SMALL.cft", "A.DAT",
                           "My Document\\Tarvik\\SHOP\\10000042"}));

    const PackedProject packed = BuildProjectFile({0, "A00-0.80"}, {{"D:\\PROGRAM\\STOCK.bas", "1"}});
    QFile file(DataFolder + "/STOCK.prj");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packed.file);
    file.close();
    CPCFileTree& projects = *Frame().PcView()->ProjectTree();
    projects.Fill();
    QTreeWidgetItem* stock = Child(projects.RootItem(), "STOCK");
    ASSERT_TRUE(stock);
    RightClick(projects, stock);
    EXPECT_EQ(Property({"requirementLabel", "programList", "terminalList", "countLabel"}),
              (QStringList{"Property", "Needed: F/W Ver: A00-0.80, All Device", "STOCK.bas",
                           "COM3-TQ-3100-10000042", "Terminal: 1 device(s), 0 selected"}));
    EXPECT_TRUE(app->Prompter().messages.isEmpty());

    // What the dialog downloads shows under the terminal listed open.
    bench.WriteFile("t1", "D/PROGRAM/MAIN.BAS", "10 END");
    WhenModalShown([](QDialog& dialog) {
        for (const char* list : {"programList", "terminalList"}) {
            dialog.findChild<QTreeWidget*>(list)->topLevelItem(0)->setCheckState(0, Qt::Checked);
        }
        dialog.findChild<QPushButton*>("downloadButton")->click();
        dialog.accept();
    });
    RightClick(projects, stock);
    Frame().RunCommand(ID_PROPERTY);
    EXPECT_TRUE(Child(terminal, "STOCK"));
    EXPECT_TRUE(app->Prompter().messages.isEmpty()) << app->Prompter().messages.join('|').toStdString();
}

TEST_F(PropertyCommandTest, ARosterTerminalThatWentAwayShowsNoDialog) {
    app->NewConnect("COM3");
    CTerminalFileTree& roster = *g_terminalView->Roster();
    bench.Add({.folder = "t1", .port = "COM3", .offline = true});
    RightClick(roster, roster.RootItem()->child(0));
    Frame().RunCommand(ID_PROPERTY);
    EXPECT_EQ(app->Prompter().messages, QStringList{"Device is Off-line!"});
}

}  // namespace
