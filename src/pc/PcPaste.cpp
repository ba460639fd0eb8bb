#include "pc/PCFileTree.h"

// The PC side's file operations arrive with the copy and move work.
void CPCFileTree::Paste(QTreeWidgetItem*, CFileTreeCtrl&) {}
void CPCFileTree::DeleteItem(QTreeWidgetItem*) {}
void CPCFileTree::NewFolder(const QString&) {}
void CPCFileTree::DeleteProject(QTreeWidgetItem*) {}
