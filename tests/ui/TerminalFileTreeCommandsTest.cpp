#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "support/AppFixture.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "terminal/TerminalOperationFixture.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

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

}  // namespace
