#pragma once

#include <QWidget>

// A pane that holds one tree for each mode and shows the tree of the mode the frame is in.
class CModePane : public QWidget {
    Q_OBJECT
protected:
    using QWidget::QWidget;

    // The visible tree covers the whole pane; only one is visible at a time.
    void SetModeTrees(QWidget* fileModeTree, QWidget* projectModeTree);

    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceTrees();

    QWidget* fileModeTree_ = nullptr;
    QWidget* projectModeTree_ = nullptr;
};
