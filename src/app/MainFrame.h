#pragma once

#include "app/CommandState.h"
#include "core/OperationGate.h"
#include "platform/DeviceWatcher.h"
#include "ui/ProgressDisplay.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>

class Fleet;
class UsbNotices;

class CFileTreeCtrl;
class JournalDialog;
class CPCView;
class CTerminalView;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

// The one top-level window: toolbar, status bar, the two panes and the current mode. Every
// command arrives here and is handed to the code of its subsystem.
class CMainFrame : public QMainWindow, public OperationGate {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Set by the trees' clicks and the commands; read to enable the commands.
    CommandState state;

    bool IsProjectMode() const { return projectMode_; }
    // 128 for Project Mode's menu, 150 for File Mode's.
    int MenuId() const { return menuId_; }

    QAction* Action(int commandId) const;
    // Runs a command as a menu, toolbar or accelerator would, when it is enabled.
    void RunCommand(int commandId);
    void UpdateCommandStates();

    // The tree's context menu (File Mode's 131 or Project Mode's 130) at a screen point.
    void ShowContextMenu(bool fileMode, const QPoint& globalPoint);
    QMenu* ContextMenu(bool fileMode) const { return fileMode ? fileContextMenu_ : projectContextMenu_; }
    // The Delete key in a tree: the Delete command, whether or not it is enabled.
    void RunDeleteKey();

    ProgressDisplay& Progress() { return progress_; }
    // While an operation runs, device-change notices wait, so that none deletes tree items
    // or changes a connection under it; they are handled when the outermost one ends.
    void BeginOperation() override;
    void EndOperation() override;
    bool OperationRunning() const override { return operationDepth_ > 0; }
    void OnDeviceChange(DeviceEvent event);
    UsbNotices& Usb() { return *usbNotices_; }
    Fleet& FleetView() { return *fleet_; }

    // What the last run left: the window's size, splitter and mode, and the roster, which is
    // reconnected in the background. A first run, or unreadable settings, change nothing.
    void RestoreSession();

    // The image of the toolbar's middle button: 1 not connected, 3 connected.
    void SetConnectButtonImage(int image);
    int ConnectButtonImage() const { return connectButtonImage_; }

    CPCView* PcView() const { return pcView_; }
    CTerminalView* TerminalView() const { return terminalView_; }
    QSplitter* Splitter() const { return splitter_; }
    QToolBar* ToolBar() const { return toolBar_; }
    // The View > Journal window while it is open.
    JournalDialog* Journal() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClient();
    void CreateAccelerators();
    void SetToolBarButtons();
    void CreateMenus();
    void SetMenu(int menuId);
    void SwitchMode(bool projectMode);
    void OnCommand(int commandId);
    void ShowFwUpgrade();
    void ShowJournal();
    void UpdateLockIndicators();
    void FocusOtherPane(bool forward);
    void ConnectTree(CFileTreeCtrl* tree);

    bool projectMode_ = true;
    int menuId_ = 0;
    int connectButtonImage_ = 1;
    std::map<int, QAction*> actions_;
    QSplitter* splitter_ = nullptr;
    CPCView* pcView_ = nullptr;
    CTerminalView* terminalView_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    // One menu bar for both modes: menus are shown or hidden, so their items stay reachable.
    QMenu* projectFileMenu_ = nullptr;
    QMenu* fileFileMenu_ = nullptr;
    QMenu* setupMenu_ = nullptr;
    QMenu* fileContextMenu_ = nullptr;
    QMenu* projectContextMenu_ = nullptr;
    QList<QPair<QAction*, QAction*>> mirroredActions_;  // a menu's own action, its command
    QLabel* capsIndicator_ = nullptr;
    QLabel* numIndicator_ = nullptr;
    QLabel* scrollIndicator_ = nullptr;
    DeviceWatcher* deviceWatcher_ = nullptr;
    QPointer<JournalDialog> journal_;  // gone once closed
    bool updateQueued_ = false;
    ProgressDisplay progress_{*this};
    int operationDepth_ = 0;
    // The outermost operation: what the user asked for, since when, and the messages before it.
    QString operationWhat_;
    QElapsedTimer operationTimer_;
    int messagesBefore_ = 0;
    std::unique_ptr<UsbNotices> usbNotices_;
    std::unique_ptr<Fleet> fleet_;
};

extern CMainFrame* g_mainFrame;

