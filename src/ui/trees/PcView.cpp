#include "ui/trees/PcView.h"

#include "ui/Images.h"
#include "ui/trees/PcFileTree.h"

CPCView::CPCView(QWidget* parent)
    : CModePane(parent), fileTree_(new CPCFileTree(this)), projectTree_(new CPCFileTree(this)) {
    fileTree_->setObjectName(QStringLiteral("pcFileTree"));
    fileTree_->setAccessibleName(QStringLiteral("PC files"));
    fileTree_->SetFileModeFlag(true);
    fileTree_->hide();
    fileTree_->SetImageList(FileModeImages(), 16);
    fileTree_->Fill();

    projectTree_->setObjectName(QStringLiteral("pcProjectTree"));
    projectTree_->setAccessibleName(QStringLiteral("Projects"));
    projectTree_->SetFileModeFlag(false);
    projectTree_->SetImageList(PcProjectImages(), 32);
    projectTree_->Fill();
    projectTree_->show();
    SetModeTrees(fileTree_, projectTree_);
}

