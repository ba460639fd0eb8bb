#pragma once

#include "pc/FileTreeCtrl.h"

// The terminal side's tree: the File Mode terminal's drives, folders and files, or the
// roster of the terminals connected in Project Mode.
class CTerminalFileTree : public CFileTreeCtrl {
    Q_OBJECT
public:
    explicit CTerminalFileTree(QWidget* parent = nullptr) : CFileTreeCtrl(false, parent) {}

    // Builds the roster from the document's terminals.
    void Fill();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
