#pragma once

#include "ui/trees/ModePane.h"

class CPCFileTree;

// The left pane: the PC file tree in File Mode, the project list in Project Mode.
class CPCView : public CModePane {
    Q_OBJECT
public:
    explicit CPCView(QWidget* parent = nullptr);

    CPCFileTree* FileTree() const { return fileTree_; }
    CPCFileTree* ProjectTree() const { return projectTree_; }

private:
    CPCFileTree* fileTree_;
    CPCFileTree* projectTree_;
};
