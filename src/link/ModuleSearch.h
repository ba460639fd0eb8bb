#pragma once

#include <string>
#include <vector>

// Where the program looks for the terminal modules, in order: beside its executable (a build
// tree, or a program unpacked in one folder), then ../lib/tarvik (an installed tree).
std::vector<std::string> ModuleSearchFolders(const std::string& executableFolder);

// The first of `folders` that holds the terminal protocol module; empty when none does.
std::string FolderWithModules(const std::vector<std::string>& folders);

// What the status bar says when none of `searched` held the modules.
std::string NoTerminalLibraryMessage(const std::vector<std::string>& searched);
