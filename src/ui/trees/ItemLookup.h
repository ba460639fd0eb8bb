#pragma once

#include <QString>

class CFileTreeCtrl;
class QTreeWidgetItem;

// The item at `path` once an operation has run: `hint` when it is still in the tree there,
// else the item found by the path; null when the path is not listed. `hint` may have been
// deleted meanwhile, so it is compared, never followed, until it is found in the tree.
QTreeWidgetItem* LocateItem(const CFileTreeCtrl& tree, QTreeWidgetItem* hint, const QString& path);
