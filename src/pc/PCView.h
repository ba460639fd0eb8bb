#pragma once

#include <QWidget>

class CPCFileTree;

// The left pane: the PC file tree in File Mode, the project list in Project Mode.
class CPCView : public QWidget {
    Q_OBJECT
public:
    explicit CPCView(QWidget* parent = nullptr);

    CPCFileTree* FileTree() const { return fileTree_; }
    CPCFileTree* ProjectTree() const { return projectTree_; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CPCFileTree* fileTree_;
    CPCFileTree* projectTree_;
};
