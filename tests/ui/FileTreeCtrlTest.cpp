#include "ui/trees/FileTreeCtrl.h"

#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "support/TreeItems.h"
#include "ui/Images.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ::testing::NiceMock;

namespace {

QStringList Texts(const QList<QTreeWidgetItem*>& items) {
    QStringList texts;
    for (const QTreeWidgetItem* item : items) texts << item->text(0);
    return texts;
}

bool SameCursor(const QCursor* shown, DragCursor expected) {
    return shown && shown->pixmap().toImage() == Cursor(expected).pixmap().toImage();
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// A File Mode PC tree with a temporary folder standing in as a drive.
class PcTreeTest : public ::testing::Test {
protected:
    PcTreeTest() {
        app.Frame().RunCommand(ID_FILE_MODE);
        for (const char* name : {"A.TXT", "B.TXT", "C.DAT"}) Touch(folder.filePath(name));
        QDir(folder.path()).mkpath("SUB/DEEP");
        drive = tree.InsertItem(tree.RootItem(), folder.path(), kKindFixed, false);
        tree.InsertItem(drive, QString(), kKindRoot);
        AppFixture::Click(tree, drive);
    }
    QTreeWidgetItem* Item(const char* name) { return Child(drive, name); }

    NiceMock<MockTerminalLibrary> library;
    AppFixture app;
    CPCFileTree& tree = *app.Frame().PcView()->FileTree();
    CMainFrame& frame = app.Frame();
    QTemporaryDir folder;
    QTreeWidgetItem* drive = nullptr;
};

TEST_F(PcTreeTest, PathsJoinWithTheSlashOfPcPaths) {
    EXPECT_EQ(tree.GetItemPath(drive), folder.path());
    EXPECT_EQ(tree.GetItemPath(Item("A.TXT")), folder.filePath("A.TXT"));
    AppFixture::Click(tree, Item("SUB"));
    EXPECT_EQ(tree.GetItemPath(Child(Item("SUB"), "DEEP")), folder.path() + "/SUB/DEEP");
    // A drive named by a path that ends in the separator is joined without another.
    QTreeWidgetItem* slash = tree.InsertItem(tree.RootItem(), "/", kKindFixed);
    EXPECT_EQ(tree.GetItemPath(tree.InsertItem(slash, "etc", kKindFolder)), "/etc");
    EXPECT_EQ(tree.FindItem(folder.path() + "/SUB/DEEP"), Child(Item("SUB"), "DEEP"));
    EXPECT_EQ(tree.FindItem(folder.path() + "/NONE"), nullptr);
}

// A batch of names is ordered as one by one insertion orders them: past the eighth character,
// a shorter name first, twins but for case by case, other scripts by their folded form.
TEST_F(PcTreeTest, ABatchSortsLongNamesCaseTwinsAndOtherScriptsAndItsItemsShowTheirChanges) {
    QTreeWidgetItem* parent = tree.InsertItem(drive, "BATCH", kKindFolder);
    tree.InsertSortedChildren(parent, {{"ABCDEFGH.TX2", kKindFile},
                                       {"abcdefgh.TX1", kKindFile},
                                       {QString::fromUtf8("\u00c9clair"), kKindFile},
                                       {"ABCDEFGH", kKindFolder, true},
                                       {"Zeta", kKindFile},
                                       {"ABCDEFGH.TX1", kKindFile},
                                       {"eclair", kKindFile},
                                       {"ABCDEFG", kKindFile}});
    EXPECT_EQ(ChildTexts(parent),
              (QStringList{"ABCDEFG", "ABCDEFGH", "ABCDEFGH.TX1", "abcdefgh.TX1", "ABCDEFGH.TX2",
                           "eclair", "Zeta", QString::fromUtf8("\u00c9clair")}));
    EXPECT_EQ(ChildTexts(parent->child(1)), QStringList{QString()});

    // A renamed or re-imaged item tells the view, which shows the new text and image.
    tree.setExpanded(tree.indexFromItem(parent), true);
    QTreeWidgetItem* item = parent->child(0);
    const QModelIndex index = tree.indexFromItem(item);
    // Each change names the item's cell, which the view and the accessibility bus both redraw.
    QList<QModelIndex> changed;
    QObject::connect(tree.model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         changed << topLeft << bottomRight;
                     });
    item->setText(0, "RENAMED");
    tree.SetItemImage(item, kKindFolder);
    EXPECT_EQ(changed, (QList<QModelIndex>{index, index, index, index}));
    EXPECT_EQ(tree.model()->data(index).toString(), "RENAMED");
    EXPECT_EQ(CFileTreeCtrl::ItemImage(item), kKindFolder);
    EXPECT_EQ(tree.model()->data(index, Qt::DecorationRole).value<QIcon>().cacheKey(),
              tree.model()->data(tree.indexFromItem(parent), Qt::DecorationRole)
                  .value<QIcon>()
                  .cacheKey());
}

TEST_F(PcTreeTest, PlainAndControlClicksBuildTheSelection) {
    AppFixture::Click(tree, Item("A.TXT"));
    EXPECT_EQ(Texts(tree.SelectionList()), QStringList{"A.TXT"});
    EXPECT_TRUE(frame.state.commands.copy && frame.state.commands.cut && frame.state.commands.del);
    EXPECT_EQ(frame.state.activeTree, &tree);

    AppFixture::Click(tree, Item("B.TXT"), true);
    AppFixture::Click(tree, Item("SUB"), true);
    EXPECT_EQ(Texts(tree.SelectionList()), (QStringList{"A.TXT", "B.TXT", "SUB"}));
    EXPECT_TRUE(frame.state.commands.copy && !frame.state.commands.cut && frame.state.commands.del);
    EXPECT_TRUE(Item("A.TXT")->isSelected());

    // A Ctrl+click on a drive adds nothing, on a listed folder keeps it listed.
    QTreeWidgetItem* otherDrive = tree.InsertItem(tree.RootItem(), folder.filePath("SUB"), kKindFixed);
    AppFixture::Click(tree, otherDrive, true);
    EXPECT_FALSE(frame.state.commands.copy || frame.state.commands.cut || frame.state.commands.del);
    AppFixture::Click(tree, Item("SUB"), true);
    EXPECT_EQ(Texts(tree.SelectionList()), (QStringList{"A.TXT", "B.TXT", "SUB"}));

    // A plain click on a listed file keeps the list until the button is up, then only it.
    const QPoint point = tree.viewport()->mapFromGlobal(AppFixture::PointOn(tree, Item("B.TXT")));
    QMouseEvent press(QEvent::MouseButtonPress, point, tree.viewport()->mapToGlobal(point),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &press);
    EXPECT_EQ(tree.SelectionList().size(), 3);
    QMouseEvent release(QEvent::MouseButtonRelease, point, tree.viewport()->mapToGlobal(point),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &release);
    EXPECT_EQ(Texts(tree.SelectionList()), QStringList{"B.TXT"});
    EXPECT_FALSE(Item("A.TXT")->isSelected());

    // A plain click outside the list starts a new one and ends the clipboard.
    frame.state.clipboardSource = &tree;
    AppFixture::Click(tree, Item("C.DAT"));
    EXPECT_EQ(Texts(tree.SelectionList()), QStringList{"C.DAT"});
    EXPECT_EQ(frame.state.clipboardSource, nullptr);
}

TEST_F(PcTreeTest, ItemsARefillDeletesLeaveTheSelection) {
    AppFixture::Click(tree, Item("A.TXT"));
    AppFixture::Click(tree, Item("B.TXT"), true);
    tree.FillFolder(folder.path(), drive);
    EXPECT_TRUE(tree.SelectionList().isEmpty());
    EXPECT_EQ(drive->childCount(), 4);
}

TEST_F(PcTreeTest, ClicksOnAFolderListAndToggleItButADoubleClickDoesNot) {
    QTreeWidgetItem* sub = Item("SUB");
    EXPECT_EQ(sub->childCount(), 1);  // the placeholder
    AppFixture::Click(tree, sub);
    ASSERT_EQ(sub->childCount(), 1);
    EXPECT_EQ(sub->child(0)->text(0), "DEEP");
    EXPECT_TRUE(sub->isExpanded());
    Touch(folder.filePath("SUB/NEW.TXT"));
    AppFixture::Click(tree, Item("SUB"));
    EXPECT_FALSE(Item("SUB")->isExpanded());
    EXPECT_EQ(Item("SUB")->childCount(), 2);  // listed again before it collapsed

    const QPoint point = tree.viewport()->mapFromGlobal(AppFixture::PointOn(tree, Item("SUB")));
    QMouseEvent twice(QEvent::MouseButtonDblClick, point, tree.viewport()->mapToGlobal(point),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &twice);
    EXPECT_FALSE(Item("SUB")->isExpanded());
}

TEST_F(PcTreeTest, RightClicksSetTheMenuCommandsAndShowTheFileModeMenu) {
    AppFixture::Click(tree, Item("A.TXT"));
    AppFixture::Click(tree, Item("B.TXT"), true);
    AppFixture::RightClick(tree, Item("SUB"));
    EXPECT_EQ(tree.ContextItem(), Item("SUB"));
    EXPECT_EQ(tree.CaretItem(), Item("SUB"));
    EXPECT_TRUE(frame.state.commands.copy && frame.state.commands.del && frame.state.commands.newFolder && frame.state.commands.rename);
    EXPECT_FALSE(frame.state.commands.format || frame.state.commands.property);
    // The list stays until a command replaces it, only its highlight goes.
    EXPECT_EQ(tree.SelectionList().size(), 2);
    EXPECT_FALSE(Item("A.TXT")->isSelected());
    QMenu* menu = frame.ContextMenu(true);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(frame.Action(ID_EDIT_COPY)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_FORMAT)->isEnabled());
    menu->hide();

    // A right click on a file outside the list clears it.
    AppFixture::RightClick(tree, Item("C.DAT"));
    EXPECT_TRUE(tree.SelectionList().isEmpty());
    menu->hide();

    // On no item there is nothing to copy, cut or delete, yet the menu shows.
    AppFixture::RightClick(tree, nullptr);
    EXPECT_EQ(tree.ContextItem(), nullptr);
    EXPECT_FALSE(frame.state.commands.copy || frame.state.commands.cut || frame.state.commands.del || frame.state.commands.newFolder);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(PcTreeTest, DraggingShowsTheFeedbackCursorOfEachTarget) {
    AppFixture::Click(tree, Item("A.TXT"));
    const QPoint start = AppFixture::PointOn(tree, Item("A.TXT"));
    auto move = [&](QTreeWidgetItem* over) {
        const QPoint global = AppFixture::PointOn(tree, over);
        QMouseEvent event(QEvent::MouseMove, tree.viewport()->mapFromGlobal(QPointF(global)),
                          QPointF(global), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &event);
    };
    QMouseEvent press(QEvent::MouseButtonPress, tree.viewport()->mapFromGlobal(QPointF(start)),
                      QPointF(start), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &press);
    move(Item("SUB"));
    EXPECT_TRUE(tree.IsDragging());
    EXPECT_TRUE(SameCursor(QApplication::overrideCursor(), DragCursor::DropFile));
    EXPECT_TRUE(Item("SUB")->isSelected());
    move(Item("C.DAT"));
    EXPECT_TRUE(SameCursor(QApplication::overrideCursor(), DragCursor::NoFile));
    move(drive);
    EXPECT_TRUE(SameCursor(QApplication::overrideCursor(), DragCursor::DropFile));

    const QPoint end = AppFixture::PointOn(tree, drive);
    QMouseEvent release(QEvent::MouseButtonRelease, tree.viewport()->mapFromGlobal(QPointF(end)),
                        QPointF(end), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &release);
    EXPECT_FALSE(tree.IsDragging());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(PcTreeTest, TheKeyboardDoesWhatTheMouseDoes) {
    auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&tree, &event);
    };
    tree.SetCaretItem(Item("SUB"));
    press(Qt::Key_Right);
    EXPECT_TRUE(Item("SUB")->isExpanded());
    EXPECT_EQ(Item("SUB")->child(0)->text(0), "DEEP");
    press(Qt::Key_Left);
    EXPECT_FALSE(Item("SUB")->isExpanded());

    tree.SetCaretItem(Item("A.TXT"));
    press(Qt::Key_Space);
    tree.SetCaretItem(Item("C.DAT"));
    press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Texts(tree.SelectionList()), (QStringList{"A.TXT", "C.DAT"}));
    EXPECT_EQ(tree.CaretItem(), Item("C.DAT"));

    press(Qt::Key_Menu);
    EXPECT_EQ(tree.ContextItem(), Item("C.DAT"));
    EXPECT_TRUE(frame.ContextMenu(true)->isVisible());
    EXPECT_TRUE(frame.state.commands.cut && frame.state.commands.rename);
    frame.ContextMenu(true)->hide();
    tree.SetCaretItem(Item("SUB"));
    press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(tree.ContextItem(), Item("SUB"));
    EXPECT_TRUE(frame.state.commands.newFolder);
    frame.ContextMenu(true)->hide();
}

}  // namespace

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
