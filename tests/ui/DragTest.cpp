#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "support/AppFixture.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "ui/Images.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool Shows(DragCursor expected) {
    const QCursor* shown = QApplication::overrideCursor();
    return shown && shown->pixmap().toImage() == Cursor(expected).pixmap().toImage();
}

// A mouse held down on one tree: the moves and the release go to the tree that was pressed.
class HeldMouse {
public:
    HeldMouse(CFileTreeCtrl& from, QTreeWidgetItem* item) : from_(from) {
        Send(QEvent::MouseButtonPress, AppFixture::PointOn(from, item), Qt::LeftButton, Qt::LeftButton);
    }
    void MoveOver(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
        last_ = AppFixture::PointOn(tree, item);
        Send(QEvent::MouseMove, last_, Qt::NoButton, Qt::LeftButton);
    }
    void Release() { Send(QEvent::MouseButtonRelease, last_, Qt::LeftButton, Qt::NoButton); }

private:
    void Send(QEvent::Type type, const QPoint& global, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, from_.viewport()->mapFromGlobal(QPointF(global)), QPointF(global),
                          button, buttons, Qt::NoModifier);
        QApplication::sendEvent(from_.viewport(), &event);
    }
    CFileTreeCtrl& from_;
    QPoint last_;
};

class DragTest : public ::testing::Test {
protected:
    DragTest() {
        bench.Add({.folder = "t", .port = "COM3"});
        bench.WriteFile("t", "C/DATA/OLD.TXT", "old");
        QFile file(pcFolder.filePath("NEW.TXT"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("new");
        file.close();
        app = std::make_unique<AppFixture>();
        app->Frame().RunCommand(ID_FILE_MODE);
        app->Doc().settings.portName = "COM3";
        app->Frame().RunCommand(ID_CONNECT);

        pcDrive = pc().InsertItem(pc().RootItem(), pcFolder.path(), kKindFixed, false);
        pc().InsertItem(pcDrive, QString(), kKindRoot);
        AppFixture::Click(pc(), pcDrive);
        AppFixture::Click(terminal(), terminal().RootItem());
        QTreeWidgetItem* drive = Child(terminal().RootItem(), "C:\\");
        AppFixture::Click(terminal(), drive);
        data = Child(drive, "DATA");
        AppFixture::Click(terminal(), data);
        terminal().ClearSelection();
    }
    CPCFileTree& pc() { return *app->Frame().PcView()->FileTree(); }
    CTerminalFileTree& terminal() { return *g_terminalView->FileTree(); }

    TempBench bench;
    RecordingClock clock;
    QTemporaryDir pcFolder;
    std::unique_ptr<AppFixture> app;
    QTreeWidgetItem* pcDrive = nullptr;
    QTreeWidgetItem* data = nullptr;
};

TEST_F(DragTest, APcFileOverTheTerminalTreeShowsWhereItMayLand) {
    QTreeWidgetItem* file = Child(pcDrive, "NEW.TXT");
    AppFixture::Click(pc(), file);
    HeldMouse mouse(pc(), file);
    mouse.MoveOver(terminal(), data);
    EXPECT_TRUE(Shows(DragCursor::DropFile));
    EXPECT_TRUE(data->isSelected());
    mouse.MoveOver(terminal(), Child(data, "OLD.TXT"));
    EXPECT_TRUE(Shows(DragCursor::NoFile));
    EXPECT_FALSE(data->isSelected());
    mouse.MoveOver(terminal(), data->parent());
    EXPECT_TRUE(Shows(DragCursor::DropFile));
    mouse.MoveOver(terminal(), data);
    mouse.Release();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(data->isSelected());
}

TEST_F(DragTest, DroppingAPcFileOnATerminalFolderPastesItThere) {
    QTreeWidgetItem* file = Child(pcDrive, "NEW.TXT");
    AppFixture::Click(pc(), file);
    HeldMouse mouse(pc(), file);
    mouse.MoveOver(terminal(), data);
    mouse.Release();
    QFile landed(bench.Path() + "/t/C/DATA/NEW.TXT");
    ASSERT_TRUE(landed.open(QIODevice::ReadOnly));
    EXPECT_EQ(landed.readAll(), "new");
    EXPECT_TRUE(QFile::exists(pcFolder.filePath("NEW.TXT")));  // a copy, not a move
    EXPECT_TRUE(Child(data, "NEW.TXT"));
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
}

TEST_F(DragTest, ATerminalTreeTakesNoDropFromItself) {
    QTreeWidgetItem* old = Child(data, "OLD.TXT");
    AppFixture::Click(terminal(), old);
    HeldMouse mouse(terminal(), old);
    mouse.MoveOver(terminal(), data);
    EXPECT_TRUE(Shows(DragCursor::NoFile));
    mouse.MoveOver(pc(), pcDrive);
    EXPECT_TRUE(Shows(DragCursor::DropFile));
    mouse.MoveOver(terminal(), data);
    mouse.Release();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Child(data, "OLD.TXT"));
}

}  // namespace
