#pragma once

#include <QString>

// The commands a click turns on or off. `cut` is left alone where `cutApplies` is false.
struct EditCommands {
    bool copy = false;
    bool cut = false;
    bool del = false;
    bool newFolder = false;
    bool rename = false;
    bool format = false;
    bool property = false;
    bool cutApplies = true;

    // Takes what a click offers: copy, cut (where it applies) and delete always, the others
    // only from a right click's menu.
    void Take(const EditCommands& offered, bool withMenuCommands);

    bool operator==(const EditCommands&) const = default;
};

// Which tree an item is in: the PC tree or the terminal tree, and the mode it serves.
struct TreeTraits {
    bool pcTree = true;
    bool fileMode = true;
};

inline constexpr int kNoItem = -1;

// The commands a right click on an item of `kind` offers; `path` is the item's path (the
// terminal tree's rules go by it). kNoItem stands for a click on no item.
EditCommands RightClickCommands(TreeTraits tree, int kind, const QString& path);

// Copy, Cut and Delete after a File Mode left click on an item of `kind` (the other fields
// stay off and are not applied).
EditCommands LeftClickCommands(int kind);

// A terminal's programs stay where they are: such an item is never selected by a click.
bool StaysOnTerminal(int kind, const QString& text);

// Whether a target of `kind` shows the drop-allowed cursor in a tree of that mode.
bool AcceptsDrop(bool fileModeTarget, int kind);

// Whether the first level of terminal folders may hold a new folder at `path` (upper case).
bool TerminalFolderTakesSubfolder(const QString& upperPath);
// Folders a terminal's programs rely on, which are never deleted from the tree.
bool IsProtectedTerminalFolder(const QString& upperPath);
