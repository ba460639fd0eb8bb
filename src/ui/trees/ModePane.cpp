#include "ui/trees/ModePane.h"

#include "ui/SwitchModeEvent.h"

#include <QResizeEvent>

void CModePane::SetModeTrees(QWidget* fileModeTree, QWidget* projectModeTree) {
    fileModeTree_ = fileModeTree;
    projectModeTree_ = projectModeTree;
    PlaceTrees();
}

bool CModePane::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(UM_SWITCHMODE) && fileModeTree_) {
        const bool fileMode = static_cast<SwitchModeEvent*>(event)->fileMode == 1;
        fileModeTree_->setVisible(fileMode);
        projectModeTree_->setVisible(!fileMode);
        PlaceTrees();
    }
    return QWidget::event(event);
}

void CModePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fileModeTree_) PlaceTrees();
}

void CModePane::PlaceTrees() {
    // Qt's accessibility reports a view's items by the view's place, shown or not: the hidden
    // tree gets no room and lies far off any screen, so that no screen reader or test tool
    // finds its items showing, over the tree in view.
    const QRect parked(-100000, -100000, 0, 0);
    for (QWidget* tree : {fileModeTree_, projectModeTree_}) {
        tree->setGeometry(tree->isHidden() ? parked : rect());
    }
}
