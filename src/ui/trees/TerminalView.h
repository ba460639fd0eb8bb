#pragma once

#include "ui/trees/ModePane.h"

class CTerminalFileTree;

// The right pane: the File Mode terminal's files, or the roster of Project Mode terminals.
class CTerminalView : public CModePane {
    Q_OBJECT
public:
    explicit CTerminalView(QWidget* parent = nullptr);
    ~CTerminalView() override;

    CTerminalFileTree* FileTree() const { return fileTree_; }
    CTerminalFileTree* Roster() const { return roster_; }

    // Shows the File Mode terminal as connected or not.
    void SetOnline(bool online);

private:
    CTerminalFileTree* fileTree_;
    CTerminalFileTree* roster_;
};

extern CTerminalView* g_terminalView;
