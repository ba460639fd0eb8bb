#include "app/CommandIds.h"
#include "app/Fleet.h"
#include "app/MainFrame.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <gtest/gtest.h>

using ::testing::NiceMock;

namespace {

// Opens a menu and checks that each of its items is reported shown, where the menu is.
void ExpectItemsOnTheOpenMenu(QMenu* menu, const QString& title) {
    menu->popup(QPoint(60, 60));
    QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(menu);
    for (int k = 0; k < popup->childCount(); ++k) {
        QAccessibleInterface* item = popup->child(k);
        EXPECT_FALSE(item->state().invisible) << title.toStdString() << " item " << k;
        EXPECT_TRUE(menu->geometry().contains(item->rect()))
            << title.toStdString() << " item " << item->text(QAccessible::Name).toStdString();
    }
    menu->hide();
}

QStringList ItemNames(QAccessibleInterface* popup) {
    QStringList items;
    for (int k = 0; k < popup->childCount(); ++k) {
        QAccessibleInterface* item = popup->child(k);
        if (item && item->role() != QAccessible::Separator) items << item->text(QAccessible::Name);
    }
    return items;
}

// What a screen reader finds under the menu bar: each visible menu's name and its items' names.
QMap<QString, QStringList> WalkMenuBar(QMenuBar* bar) {
    QMap<QString, QStringList> found;
    QAccessibleInterface* barInterface = QAccessible::queryAccessibleInterface(bar);
    EXPECT_NE(barInterface, nullptr);
    if (!barInterface) return found;
    for (int i = 0; i < barInterface->childCount(); ++i) {
        QAccessibleInterface* menu = barInterface->child(i);
        EXPECT_NE(menu, nullptr) << "menu " << i;
        if (!menu || menu->state().invisible) continue;
        const QString title = menu->text(QAccessible::Name);
        EXPECT_EQ(menu->childCount(), 1) << title.toStdString();
        QAccessibleInterface* popup = menu->childCount() > 0 ? menu->child(0) : nullptr;
        EXPECT_NE(popup, nullptr) << title.toStdString();
        if (!popup) continue;
        for (int k = 0; k < popup->childCount(); ++k) {
            EXPECT_NE(popup->child(k), nullptr) << title.toStdString() << " item " << k;
        }
        EXPECT_EQ(popup->text(QAccessible::Name), title);
        found[title] = ItemNames(popup);
        ExpectItemsOnTheOpenMenu(qobject_cast<QMenu*>(popup->object()), title);
    }
    return found;
}

class AccessibilityTest : public ::testing::Test {
protected:
    NiceMock<MockTerminalLibrary> library;
    AppFixture app;
    CMainFrame& frame = app.Frame();
};

TEST_F(AccessibilityTest, EveryMenuItemStaysReachableAfterModeSwitches) {
    const auto projectMenus = WalkMenuBar(frame.menuBar());
    EXPECT_EQ(projectMenus.value("File"),
              (QStringList{"New Connect", "Close Connect", "Export Fleet...", "Forget Roster", "Exit"}));
    EXPECT_EQ(projectMenus.value("Tools"), (QStringList{"F/W Upgrade", "Collect Data..."}));
    EXPECT_FALSE(projectMenus.contains("Setup"));

    frame.RunCommand(ID_FILE_MODE);
    frame.RunCommand(ID_PROJECT_MODE);
    frame.RunCommand(ID_FILE_MODE);
    const auto fileMenus = WalkMenuBar(frame.menuBar());
    EXPECT_EQ(fileMenus.value("File"), QStringList{"Exit"});
    EXPECT_EQ(fileMenus.value("Setup"), (QStringList{"Connect/Disconnect", "Com Setup"}));
    EXPECT_EQ(fileMenus.value("Tools"), (QStringList{"F/W Upgrade", "Collect Data..."}));
    EXPECT_EQ(fileMenus.value("View").size(), 6);
    EXPECT_EQ(fileMenus.value("View").value(3), "Journal");
    EXPECT_EQ(fileMenus.value("Help"), QStringList{"About Tarvik..."});

    frame.RunCommand(ID_PROJECT_MODE);
    EXPECT_EQ(WalkMenuBar(frame.menuBar()), projectMenus);
}

// Input to the window is blocked under a message box, but a screen reader can still trigger a
// menu item's action: the command must wait until the question is answered.
TEST_F(AccessibilityTest, NoCommandRunsUnderAnOpenMessageBox) {
    QMessageBox box(QMessageBox::Question, "Tarvik", "Overwrite?", QMessageBox::Yes | QMessageBox::No, &frame);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    frame.Action(ID_FILE_MODE)->trigger();
    EXPECT_TRUE(frame.IsProjectMode());
    box.hide();
    frame.Action(ID_FILE_MODE)->trigger();
    EXPECT_FALSE(frame.IsProjectMode());
}

TEST_F(AccessibilityTest, EveryTreeHasAName) {
    const QList<QWidget*> trees = {frame.PcView()->FileTree(), frame.PcView()->ProjectTree(),
                                   g_terminalView->FileTree(), g_terminalView->Roster()};
    QStringList names;
    for (QWidget* tree : trees) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tree);
        ASSERT_NE(accessible, nullptr);
        names << accessible->text(QAccessible::Name);
    }
    EXPECT_EQ(names, (QStringList{"PC files", "Projects", "Terminal files", "Terminal roster"}));
}

QList<QObject*> ApplicationChildren() {
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    QList<QObject*> children;
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface* child = application->child(i);
        EXPECT_EQ(application->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), application);
        children << child->object();
    }
    return children;
}

TEST_F(AccessibilityTest, TheApplicationHoldsTheWindowsAndContextMenusOnScreen) {
    EXPECT_EQ(ApplicationChildren(), QList<QObject*>{&frame});
    for (const bool fileMode : {true, false}) {
        QMenu* menu = frame.ContextMenu(fileMode);
        frame.ShowContextMenu(fileMode, QPoint(80, 80));
        EXPECT_EQ(ApplicationChildren(), (QList<QObject*>{&frame, menu}));
        const QStringList items =
            fileMode ? QStringList{"Cut", "Copy", "Delete", "Paste", "New Folder", "Rename",
                                   "Format", "Property"}
                     : QStringList{"Copy", "Delete", "Paste", "Collect Data...", "Property"};
        EXPECT_EQ(ItemNames(QAccessible::queryAccessibleInterface(menu)), items);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(menu)->text(QAccessible::Name),
                  fileMode ? "File commands" : "Project commands");
        menu->hide();
        ExpectItemsOnTheOpenMenu(menu, fileMode ? "file context menu" : "project context menu");
    }
    // A menu of the menu bar is reached through the bar, not twice.
    QMenu* help = frame.menuBar()->actions().constLast()->menu();
    help->popup(QPoint(80, 80));
    EXPECT_EQ(ApplicationChildren(), QList<QObject*>{&frame});
    help->hide();
    // A closed window's table would still report its cells showing.
    frame.RunCommand(ID_VIEW_FLEET);
    EXPECT_EQ(ApplicationChildren().size(), 2);
    frame.FleetView().Window()->close();
    EXPECT_EQ(ApplicationChildren(), QList<QObject*>{&frame});
}

TEST_F(AccessibilityTest, AHiddenTreeShowsNoItemsOverTheTreeInView) {
    const QList<QPair<CFileTreeCtrl*, CFileTreeCtrl*>> panes = {
        {frame.PcView()->FileTree(), frame.PcView()->ProjectTree()},
        {g_terminalView->FileTree(), g_terminalView->Roster()}};
    for (const int mode : {ID_FILE_MODE, ID_PROJECT_MODE, ID_FILE_MODE, ID_PROJECT_MODE}) {
        frame.RunCommand(mode);
        for (const auto& [fileModeTree, projectModeTree] : panes) {
            CFileTreeCtrl* shown = mode == ID_FILE_MODE ? fileModeTree : projectModeTree;
            CFileTreeCtrl* hidden = mode == ID_FILE_MODE ? projectModeTree : fileModeTree;
            const std::string name = hidden->accessibleName().toStdString();
            const QRect inView(shown->mapToGlobal(QPoint(0, 0)), shown->size());
            QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(hidden);
            ASSERT_GT(tree->childCount(), 1) << name;  // the header and at least one item
            for (int i = 0; i < tree->childCount(); ++i) {
                QAccessibleInterface* cell = tree->child(i);
                EXPECT_TRUE(cell->state().invisible) << name << " " << i;
                EXPECT_FALSE(cell->rect().intersects(inView)) << name << " " << i;
            }
            QAccessibleInterface* first = QAccessible::queryAccessibleInterface(shown)->child(1);
            EXPECT_FALSE(first->state().invisible) << shown->accessibleName().toStdString();
            EXPECT_TRUE(inView.contains(first->rect().center()));
        }
    }
}

}  // namespace
