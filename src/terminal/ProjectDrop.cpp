#include "terminal/TerminalFileTree.h"

// Projects reach a terminal with the project format.
void CTerminalFileTree::DropProject(QTreeWidgetItem*, CFileTreeCtrl&) {}
void CTerminalFileTree::RemoveTerminalProject(QTreeWidgetItem*) {}
