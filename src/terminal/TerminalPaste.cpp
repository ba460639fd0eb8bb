#include "terminal/TerminalFileTree.h"

// The terminal side's file operations arrive with the copy and move work.
void CTerminalFileTree::Paste(QTreeWidgetItem*, CFileTreeCtrl&) {}
void CTerminalFileTree::DeleteItem(QTreeWidgetItem*) {}
void CTerminalFileTree::NewFolder(const QString&) {}
void CTerminalFileTree::FormatDrive() {}
