#pragma once

#include "pc/FileTreeCtrl.h"

// The PC side's tree: the PC's drives, folders and files in File Mode, the data folder's
// projects in Project Mode.
class CPCFileTree : public CFileTreeCtrl {
    Q_OBJECT
public:
    explicit CPCFileTree(QWidget* parent = nullptr) : CFileTreeCtrl(true, parent) {}

    // Rebuilds the whole tree for the tree's mode.
    void Fill();
};
