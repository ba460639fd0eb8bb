#include "ui/trees/ModePane.h"

#include "ui/SwitchModeEvent.h"

#include <QResizeEvent>

void CModePane::SetModeTrees(QWidget* fileModeTree, QWidget* projectModeTree) {
    fileModeTree_ = fileModeTree;
    projectModeTree_ = projectModeTree;
    fileModeTree_->setGeometry(rect());
    projectModeTree_->setGeometry(rect());
}

bool CModePane::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(UM_SWITCHMODE) && fileModeTree_) {
        const bool fileMode = static_cast<SwitchModeEvent*>(event)->fileMode == 1;
        fileModeTree_->setVisible(fileMode);
        projectModeTree_->setVisible(!fileMode);
    }
    return QWidget::event(event);
}

void CModePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!fileModeTree_) return;
    fileModeTree_->setGeometry(rect());
    projectModeTree_->setGeometry(rect());
}
