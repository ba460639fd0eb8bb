#pragma once

// An item's image index is its kind. File Mode trees:
enum FileItemKind : int {
    kKindRoot = 0,  // the PC root; also every placeholder child
    kKindTerminal = 1,
    kKindRemovable = 2,
    kKindFixed = 3,  // a fixed PC drive or any terminal drive
    kKindCdRom = 4,
    kKindFolder = 5,
    kKindFile = 6,
    kKindNetwork = 7,
    kKindTerminalOffline = 8,
};

// Project Mode trees.
enum ProjectItemKind : int {
    kKindProjectRoot = 0,        // "Project:" or the roster's "Terminal"
    kKindProjectOrTerminal = 1,  // a project in the PC tree, a terminal in the roster
    kKindTerminalProject = 2,    // a project found on a terminal
};
