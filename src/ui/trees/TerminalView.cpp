#include "ui/trees/TerminalView.h"

#include "core/ItemKind.h"
#include "ui/Images.h"
#include "ui/trees/TerminalFileTree.h"

CTerminalView* g_terminalView = nullptr;

CTerminalView::CTerminalView(QWidget* parent)
    : CModePane(parent), fileTree_(new CTerminalFileTree(this)), roster_(new CTerminalFileTree(this)) {
    g_terminalView = this;

    fileTree_->setObjectName(QStringLiteral("terminalFileTree"));
    fileTree_->setAccessibleName(QStringLiteral("Terminal files"));
    fileTree_->SetFileModeFlag(true);
    fileTree_->hide();
    fileTree_->SetImageList(FileModeImages(), 16);
    fileTree_->SetRootItem(
        fileTree_->InsertItem(nullptr, QStringLiteral("Terminal"), kKindTerminalOffline, false));
    fileTree_->InsertItem(fileTree_->RootItem(), QString(), kKindRoot);

    roster_->setObjectName(QStringLiteral("terminalRoster"));
    roster_->setAccessibleName(QStringLiteral("Terminal roster"));
    roster_->SetFileModeFlag(false);
    roster_->SetImageList(RosterImages(), 32);
    roster_->Fill();
    roster_->show();

    fileTree_->setEnabled(false);
    roster_->setEnabled(false);
    SetModeTrees(fileTree_, roster_);
}

CTerminalView::~CTerminalView() {
    if (g_terminalView == this) g_terminalView = nullptr;
}

void CTerminalView::SetOnline(bool online) {
    QTreeWidgetItem* root = fileTree_->RootItem();
    fileTree_->SetItemImage(root, online ? kKindTerminal : kKindTerminalOffline);
    fileTree_->setEnabled(online);
    if (online) {
        fileTree_->DeleteChildren(root);
        fileTree_->InsertItem(root, QString(), kKindRoot);
        root->setExpanded(false);
    }
}

