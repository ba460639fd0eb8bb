#include "ui/trees/ItemLookup.h"

#include "ui/trees/FileTreeCtrl.h"

namespace {

bool Holds(const QTreeWidgetItem* node, const QTreeWidgetItem* item) {
    if (node == item) return true;
    for (int i = 0; i < node->childCount(); ++i) {
        if (Holds(node->child(i), item)) return true;
    }
    return false;
}

}  // namespace

QTreeWidgetItem* LocateItem(const CFileTreeCtrl& tree, QTreeWidgetItem* hint, const QString& path) {
    // The same folder may be listed twice (the home folder and its drive): the user's own
    // item is the one to show the change in.
    const QTreeWidgetItem* root = tree.RootItem();
    if (hint && root && Holds(root, hint) && tree.GetItemPath(hint) == path) return hint;
    return tree.FindItem(path);
}
