#pragma once

#include "core/TreeRules.h"

#include <QString>

class CFileTreeCtrl;
class CTarvikDoc;

// What the frame's commands read and change: set by the trees' clicks and by the commands.
struct CommandState {
    EditCommands commands;
    bool closeConnectEnabled = false;
    CFileTreeCtrl* clipboardSource = nullptr;
    CFileTreeCtrl* activeTree = nullptr;
    bool connected = false;  // the File Mode connection
};

// Whether a command is enabled, from the command state, the mode, the document and the trees.
bool IsCommandEnabled(int commandId, const CommandState& state, bool projectMode,
                      const CTarvikDoc& doc);

// The project Collect Data serves: a PC project, or one installed on a roster terminal, as the
// active Project Mode tree's context item or only selected item; empty for anything else.
QString CollectedProject(const CommandState& state);

// Whether Paste is offered on the active tree with the clipboard of `source`.
bool PasteEnabled(const CFileTreeCtrl* active, const CFileTreeCtrl* source);
