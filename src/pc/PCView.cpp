#include "pc/PCView.h"

#include "app/Images.h"
#include "app/SwitchModeEvent.h"
#include "pc/PCFileTree.h"

#include <QResizeEvent>

CPCView::CPCView(QWidget* parent)
    : QWidget(parent), fileTree_(new CPCFileTree(this)), projectTree_(new CPCFileTree(this)) {
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
}

bool CPCView::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(UM_SWITCHMODE)) {
        const bool fileMode = static_cast<SwitchModeEvent*>(event)->fileMode == 1;
        fileTree_->setVisible(fileMode);
        projectTree_->setVisible(!fileMode);
    }
    return QWidget::event(event);
}

void CPCView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fileTree_->setGeometry(rect());
    projectTree_->setGeometry(rect());
}
