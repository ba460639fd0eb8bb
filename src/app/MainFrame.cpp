#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/CommandState.h"
#include "app/Connections.h"
#include "app/EditCommands.h"
#include "app/Fleet.h"
#include "app/UserSettings.h"
#include "app/WorkEndNotice.h"
#include "app/StringTable.h"
#include "core/InstalledServices.h"
#include "core/TarvikDoc.h"
#include "firmware/FirmwareUpgrade.h"
#include "link/ModuleSearch.h"
#include "link/TerminalLibrary.h"
#include "platform/Journal.h"
#include "platform/LockKeys.h"
#include "platform/Prompter.h"
#include "ui/Accessibility.h"
#include "ui/Images.h"
#include "ui/SwitchModeEvent.h"
#include "ui/WindowPrompter.h"
#include "ui/dialogs/AboutDlg.h"
#include "ui/dialogs/ConnectSetupDlg.h"
#include "ui/dialogs/FirmwareUpgradeDialog.h"
#include "ui/dialogs/JournalDialog.h"
#include "ui/trees/FileTreeCtrl.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

CMainFrame* g_mainFrame = nullptr;

namespace {

struct CommandText {
    int id;
    const char* text;
};

constexpr CommandText kCommands[] = {
    {ID_NEW_CONNECT, "New Connect"},
    {ID_CLOSE_CONNECT, "Close Connect"},
    {ID_APP_EXIT, "E&xit"},
    {ID_FW_UPGRADE, "F/W Upgrade"},
    {ID_PROJECT_MODE, "Project Mode"},
    {ID_FILE_MODE, "File Mode"},
    {ID_VIEW_TOOLBAR, "&Toolbar"},
    {ID_VIEW_STATUS_BAR, "&Status Bar"},
    {ID_VIEW_JOURNAL, "&Journal"},
    {ID_APP_ABOUT, "&About Tarvik..."},
    {ID_CONNECT, "Connect/Disconnect"},
    {ID_COM_SETUP, "Com Setup"},
    {ID_EDIT_CUT, "Cut"},
    {ID_EDIT_COPY, "Copy"},
    {ID_DELETE, "Delete"},
    {ID_EDIT_PASTE, "Paste"},
    {ID_NEW_FOLDER, "New Folder"},
    {ID_RENAME, "Rename"},
    {ID_FORMAT, "Format"},
    {ID_PROPERTY, "Property"},
    {ID_VIEW_FLEET, "Fleet"},
    {ID_EXPORT_FLEET, "Export Fleet..."},
    {ID_FORGET_ROSTER, "Forget Roster"},
    {ID_COLLECT_DATA, "Collect Data..."},
};

constexpr int kProjectMenu = 128;
constexpr int kFileMenu = 150;
constexpr int kPcPaneWidth = 250;

}  // namespace

CMainFrame::CMainFrame() {
    g_mainFrame = this;
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(ApplicationIcon());
    SetPromptOwner(this);
    InstallProgress(&progress_);
    InstallOperationGate(this);

    CreateActions();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    Tp().TpSetMode(1);
    CreateClient();
    usbNotices_ = std::make_unique<UsbNotices>(state, *terminalView_);
    fleet_ = std::make_unique<Fleet>(*terminalView_, this);
    deviceWatcher_ = new DeviceWatcher(QString::fromStdString(Tp().WatchFolder()), this);
    connect(deviceWatcher_, &DeviceWatcher::deviceChanged, this, &CMainFrame::OnDeviceChange);
    CreateMenus();
    SetMenu(kProjectMenu);
    resize(820, 560);

    qApp->installEventFilter(this);
    UpdateCommandStates();
    // Said once, so a user knows why nothing connects.
    if (const auto searched = Tp().FoldersSearchedInVain(); !searched.empty()) {
        statusBar()->showMessage(QString::fromStdString(NoTerminalLibraryMessage(searched)));
    }
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    fleet_.reset();
    delete deviceWatcher_;
    deviceWatcher_ = nullptr;
    SetPromptOwner(nullptr);
    InstallProgress(nullptr);
    InstallOperationGate(nullptr);
    if (g_mainFrame == this) g_mainFrame = nullptr;
}

void CMainFrame::CreateActions() {
    for (const CommandText& command : kCommands) {
        auto* action = new QAction(QString::fromLatin1(command.text), this);
        action->setData(command.id);
        action->setStatusTip(StatusPrompt(command.id));
        action->setToolTip(ToolTipText(command.id).isEmpty() ? action->text()
                                                             : ToolTipText(command.id));
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, id = command.id] { OnCommand(id); });
        addAction(action);
        actions_[command.id] = action;
    }
    for (int id : {ID_PROJECT_MODE, ID_FILE_MODE, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        actions_[id]->setCheckable(true);
    }
    Action(ID_EDIT_CUT)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X),
                                       QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    Action(ID_EDIT_COPY)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C),
                                        QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    Action(ID_EDIT_PASTE)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V),
                                         QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
}

void CMainFrame::CreateAccelerators() {
    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { FocusOtherPane(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previous, &QShortcut::activated, this, [this] { FocusOtherPane(false); });
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The button that shows buttons a narrow window has no room for.
    if (auto* more = toolBar_->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(QStringLiteral("More buttons"));
    }
    SetToolBarButtons();
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    capsIndicator_ = new QLabel(QStringLiteral("CAP"), bar);
    numIndicator_ = new QLabel(QStringLiteral("NUM"), bar);
    scrollIndicator_ = new QLabel(QStringLiteral("SCRL"), bar);
    for (QLabel* indicator : {capsIndicator_, numIndicator_, scrollIndicator_}) {
        indicator->setFrameShape(QFrame::Panel);
        indicator->setFrameShadow(QFrame::Sunken);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance("SCRL") + 8);
        indicator->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(indicator);
    }
    // The message pane falls back to "Ready" whenever no prompt is shown.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(QStringLiteral("Ready"));
    });
    bar->showMessage(QStringLiteral("Ready"));
    UpdateLockIndicators();
}

void CMainFrame::CreateClient() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setAccessibleName(QStringLiteral("Panes"));
    splitter_->setChildrenCollapsible(false);
    pcView_ = new CPCView(splitter_);
    terminalView_ = new CTerminalView(splitter_);
    splitter_->addWidget(pcView_);
    splitter_->addWidget(terminalView_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kPcPaneWidth, width() - kPcPaneWidth});
    setCentralWidget(splitter_);
    for (CFileTreeCtrl* tree : splitter_->findChildren<CFileTreeCtrl*>()) ConnectTree(tree);
}

void CMainFrame::ConnectTree(CFileTreeCtrl* tree) {
    connect(tree, &CFileTreeCtrl::activated, this, [this, tree] { state.activeTree = tree; });
    connect(tree, &CFileTreeCtrl::commandsOffered, this,
            [this](const EditCommands& offered, bool withMenuCommands) {
                state.commands.Take(offered, withMenuCommands);
            });
    connect(tree, &CFileTreeCtrl::clipboardCleared, this, [this] { state.clipboardSource = nullptr; });
    connect(tree, &CFileTreeCtrl::closeConnectOffered, this,
            [this](bool offered) { state.closeConnectEnabled = offered; });
    connect(tree, &CFileTreeCtrl::contextMenuRequested, this, &CMainFrame::ShowContextMenu);
    connect(tree, &CFileTreeCtrl::deleteKeyPressed, this, &CMainFrame::RunDeleteKey);
    connect(tree, &CFileTreeCtrl::dropStarting, this, [this](const QString& what) {
        if (operationDepth_ == 0) operationWhat_ = what;
    });
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::SetToolBarButtons() {
    const QList<QIcon> images = ToolbarImages(projectMode_);
    toolBar_->clear();
    const int ids[3] = {projectMode_ ? ID_NEW_CONNECT : ID_COM_SETUP,
                        projectMode_ ? ID_CLOSE_CONNECT : ID_CONNECT, ID_APP_ABOUT};
    for (int button = 0; button < 3; ++button) {
        Action(ids[button])->setIcon(images[button]);
        toolBar_->addAction(Action(ids[button]));
    }
    // A mode switch reloads the bitmap; keep showing the connection as it stands.
    if (!projectMode_) SetConnectButtonImage(state.connected ? 3 : 1);
}

void CMainFrame::SetConnectButtonImage(int image) {
    connectButtonImage_ = image;
    const QList<QIcon> images = ToolbarImages(false);
    if (image >= 0 && image < images.size()) Action(ID_CONNECT)->setIcon(images[image]);
}

void CMainFrame::CreateMenus() {
    // An action in two menus has one accessible object, which reports the first menu's place
    // for both: a command's second menu gets an action of its own that runs the command.
    auto addEntry = [this](QMenu* menu, int id) {
        QAction* command = Action(id);
        const QObjectList holders = command->associatedObjects();
        const auto isMenu = [](QObject* holder) { return qobject_cast<QMenu*>(holder) != nullptr; };
        if (std::none_of(holders.begin(), holders.end(), isMenu)) {
            menu->addAction(command);
            return;
        }
        QAction* own = menu->addAction(command->text());
        own->setData(id);
        own->setStatusTip(command->statusTip());
        connect(own, &QAction::triggered, command, &QAction::trigger);
        mirroredActions_.append(qMakePair(own, command));
    };
    auto fill = [this, addEntry](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0) {
                menu->addSeparator();
            } else {
                addEntry(menu, id);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        // An open menu is a window that a screen reader names by itself.
        menu->setAccessibleName(menu->title().remove(u'&'));
        return menu;
    };
    QMenuBar* bar = menuBar();
    bar->setAccessibleName(QStringLiteral("Menu bar"));
    projectFileMenu_ = fill(bar->addMenu(QStringLiteral("&File")),
                            {ID_NEW_CONNECT, ID_CLOSE_CONNECT, 0, ID_EXPORT_FLEET, ID_FORGET_ROSTER, 0,
                             ID_APP_EXIT});
    fileFileMenu_ = fill(bar->addMenu(QStringLiteral("&File")), {ID_APP_EXIT});
    setupMenu_ = fill(bar->addMenu(QStringLiteral("Setup")), {ID_CONNECT, ID_COM_SETUP});
    fill(bar->addMenu(QStringLiteral("Tools")), {ID_FW_UPGRADE, ID_COLLECT_DATA});
    fill(bar->addMenu(QStringLiteral("&View")),
         {ID_PROJECT_MODE, ID_FILE_MODE, 0, ID_VIEW_FLEET, ID_VIEW_JOURNAL, 0, ID_VIEW_TOOLBAR,
          ID_VIEW_STATUS_BAR});
    fill(bar->addMenu(QStringLiteral("&Help")), {ID_APP_ABOUT});

    fileContextMenu_ = fill(new QMenu(this), {ID_EDIT_CUT, ID_EDIT_COPY, ID_DELETE, ID_EDIT_PASTE, 0,
                                              ID_NEW_FOLDER, ID_RENAME, 0, ID_FORMAT, 0,
                                              ID_PROPERTY});
    fileContextMenu_->setObjectName(QStringLiteral("fileContextMenu"));
    fileContextMenu_->setAccessibleName(QStringLiteral("File commands"));
    projectContextMenu_ = fill(new QMenu(this), {ID_EDIT_COPY, ID_DELETE, ID_EDIT_PASTE, 0,
                                                 ID_COLLECT_DATA, 0, ID_PROPERTY});
    projectContextMenu_->setObjectName(QStringLiteral("projectContextMenu"));
    projectContextMenu_->setAccessibleName(QStringLiteral("Project commands"));
    // A context menu is a window of its own, which Qt leaves out of the application's
    // accessible children.
    InstallAccessibility();
}

void CMainFrame::SetMenu(int menuId) {
    const bool projectMenu = menuId == kProjectMenu;
    projectFileMenu_->menuAction()->setVisible(projectMenu);
    fileFileMenu_->menuAction()->setVisible(!projectMenu);
    setupMenu_->menuAction()->setVisible(!projectMenu);
    menuId_ = menuId;
}

void CMainFrame::ShowContextMenu(bool fileMode, const QPoint& globalPoint) {
    UpdateCommandStates();
    ContextMenu(fileMode)->popup(globalPoint);
}

void CMainFrame::RunDeleteKey() {
    // The key skips the enable test: a PC project in Project Mode is deleted with it.
    DeleteSelection(state);
    UpdateCommandStates();
}

void CMainFrame::BeginOperation() {
    if (operationDepth_++ > 0) return;
    // No fleet worker may hold a terminal the operation opens.
    fleet_->Settle();
    operationTimer_.start();
    messagesBefore_ = WindowMessagesShown();
    progress_.Start();
    usbNotices_->OperationStarted();
}

void CMainFrame::EndOperation() {
    if (--operationDepth_ > 0) return;
    const EndedWork work{operationWhat_, progress_.FilesDone(), WindowMessagesShown() - messagesBefore_,
                         operationTimer_.elapsed(), QApplication::activeWindow() != nullptr};
    if (const std::optional<DesktopNotice> notice = NoticeFor(work)) SendDesktopNotice(*notice);
    operationWhat_.clear();
    progress_.Finish();
    usbNotices_->OperationEnded();
    // After the caller's own work on the trees, not inside it.
    QTimer::singleShot(0, fleet_.get(), &Fleet::OperationEnded);
}

void CMainFrame::OnDeviceChange(DeviceEvent event) { usbNotices_->Notice(event); }

void CMainFrame::SwitchMode(bool projectMode) {
    if (projectMode_ == projectMode) return;
    projectMode_ = projectMode;
    SetToolBarButtons();
    SwitchModeEvent toLeft(projectMode ? 0 : 1);
    QCoreApplication::sendEvent(pcView_, &toLeft);
    SwitchModeEvent toRight(projectMode ? 0 : 1);
    QCoreApplication::sendEvent(terminalView_, &toRight);
    SetMenu(projectMode ? kProjectMenu : kFileMenu);
}

void CMainFrame::RunCommand(int commandId) {
    UpdateCommandStates();
    QAction* action = Action(commandId);
    if (action && action->isEnabled()) action->trigger();
}

void CMainFrame::OnCommand(int commandId) {
    // A dialog or message box, or the work of a command, blocks the window's input, but a
    // screen reader can still trigger its actions: a command then would run under the question
    // or the work, changing what they act on.
    if (QApplication::activeModalWidget() || operationDepth_ > 0) return;
    if (const QAction* action = Action(commandId)) {
        operationWhat_ = action->text().remove(u'&').remove(QLatin1String("..."));
    }
    switch (commandId) {
        case ID_PROJECT_MODE: SwitchMode(true); break;
        case ID_FILE_MODE: SwitchMode(false); break;
        case ID_COM_SETUP: {
            OperationScope operation(*this);
            CConnectSetupDlg dialog(&g_doc->settings, this);
            dialog.exec();
            break;
        }
        case ID_CONNECT:
            ConnectDisconnect(state, *terminalView_, *usbNotices_);
            SetConnectButtonImage(state.connected ? 3 : 1);
            break;
        case ID_NEW_CONNECT:
            if (const ConnectionSettings* record = NewConnect(*terminalView_, *usbNotices_, this)) {
                fleet_->Connected(*record);
            }
            break;
        case ID_CLOSE_CONNECT:
            if (const QString port = CloseConnect(state, *terminalView_); !port.isEmpty()) fleet_->Closed(port);
            break;
        case ID_VIEW_FLEET: fleet_->ShowWindow(); break;
        case ID_EXPORT_FLEET: fleet_->Export(); break;
        case ID_FORGET_ROSTER: fleet_->Forget(); break;
        case ID_COLLECT_DATA: fleet_->Collect(CollectedProject(state)); break;
        case ID_FW_UPGRADE: ShowFwUpgrade(); break;
        case ID_APP_ABOUT: {
            CAboutDlg about(this);
            about.exec();
            break;
        }
        case ID_APP_EXIT: close(); break;
        case ID_EDIT_CUT: CutOrCopy(state, false); break;
        case ID_EDIT_COPY: CutOrCopy(state, true); break;
        case ID_EDIT_PASTE: PasteClipboard(state); break;
        case ID_DELETE: DeleteSelection(state); break;
        case ID_NEW_FOLDER: NewFolderInContextItem(state, this); break;
        case ID_RENAME: RenameContextItem(state, this); break;
        case ID_FORMAT: FormatActiveDrive(state); break;
        case ID_PROPERTY: ShowActiveProperties(state); break;
        case ID_VIEW_TOOLBAR: toolBar_->setVisible(!toolBar_->isVisible()); break;
        case ID_VIEW_STATUS_BAR: statusBar()->setVisible(!statusBar()->isVisible()); break;
        case ID_VIEW_JOURNAL: ShowJournal(); break;
        default: break;
    }
    // A drop later is no part of this command.
    operationWhat_.clear();
    UpdateCommandStates();
}

namespace {

constexpr char kGeometryKey[] = "window/geometry";
constexpr char kSplitterKey[] = "window/splitter";
constexpr char kModeKey[] = "window/mode";

}  // namespace

void CMainFrame::RestoreSession() {
    const std::unique_ptr<QSettings> settings = UserSettings();
    if (settings->status() == QSettings::NoError) {
        // Each value is checked by its reader; a damaged one leaves that part as it starts.
        restoreGeometry(settings->value(kGeometryKey).toByteArray());
        splitter_->restoreState(settings->value(kSplitterKey).toByteArray());
        if (settings->value(kModeKey).toString() == QLatin1String("file")) SwitchMode(false);
    }
    fleet_->Restore();
    UpdateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    const std::unique_ptr<QSettings> settings = UserSettings();
    settings->setValue(kGeometryKey, saveGeometry());
    settings->setValue(kSplitterKey, splitter_->saveState());
    settings->setValue(kModeKey, projectMode_ ? QStringLiteral("project") : QStringLiteral("file"));
    QMainWindow::closeEvent(event);
}

void CMainFrame::ShowFwUpgrade() {
    OperationScope operation(*this);
    if (projectMode_) {
        FirmwareUpgradeDialog dialog(this);
        dialog.exec();
    } else {
        UpgradeFileModeTerminal(InstalledServices(), g_doc->settings);
    }
}

JournalDialog* CMainFrame::Journal() const { return journal_; }

void CMainFrame::ShowJournal() {
    // One journal window, read again each time it is asked for; the work goes on beside it.
    if (!journal_) {
        journal_ = new JournalDialog(JournalPath(), this);
        journal_->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        journal_->Refresh();
    }
    journal_->show();
    journal_->raise();
    journal_->activateWindow();
}

void CMainFrame::UpdateCommandStates() {
    updateQueued_ = false;
    if (!g_doc) return;
    for (const auto& [id, action] : actions_) action->setEnabled(IsCommandEnabled(id, state, projectMode_, *g_doc));
    for (const auto& [own, command] : std::as_const(mirroredActions_))
        own->setEnabled(command->isEnabled());
    Action(ID_PROJECT_MODE)->setChecked(projectMode_);
    Action(ID_FILE_MODE)->setChecked(!projectMode_);
    Action(ID_VIEW_TOOLBAR)->setChecked(!toolBar_->isHidden());
    Action(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
    const LockKeys keys = CurrentLockKeys();
    capsIndicator_->setEnabled(keys.caps);
    numIndicator_->setEnabled(keys.num);
    scrollIndicator_->setEnabled(keys.scroll);
}

void CMainFrame::FocusOtherPane(bool forward) {
    Q_UNUSED(forward);  // with two panes, next and previous are the same pane
    QWidget* focused = QApplication::focusWidget();
    const bool inLeft = focused && pcView_->isAncestorOf(focused);
    QWidget* pane = inLeft ? static_cast<QWidget*>(terminalView_) : pcView_;
    for (QWidget* child : pane->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) {
            child->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

// After each user action the toolbar must show the commands' state, as it would while idle.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
        case QEvent::KeyPress:
            if (!updateQueued_) {
                updateQueued_ = true;
                QTimer::singleShot(0, this, &CMainFrame::UpdateCommandStates);
            }
            break;
        default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}
