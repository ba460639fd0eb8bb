#include "terminal/TerminalFileTree.h"

#include "app/Globals.h"
#include "app/AppServices.h"
#include "app/TarvikDoc.h"
#include "link/DirectoryListing.h"
#include "pc/ItemKind.h"
#include "terminal/TerminalFileOperations.h"

// The trees' side of the terminal file operations: paths in, items found again by path
// afterwards, since a message box in between may have let the trees change.

void CTerminalFileTree::Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) {
    const int kind = ItemImage(target);
    if (!target || (kind != kKindFixed && kind != kKindFolder) || !source.IsPcTree()) {
        source.ClearSelection();
        ClearSelection();
        return;
    }
    const QString targetPath = GetItemPath(target);
    QList<PcSource> sources;
    for (const QTreeWidgetItem* item : source.SelectionList()) {
        sources.append({source.GetItemPath(item), ItemImage(item) == kKindFolder});
    }
    const TerminalPasteResult result = PasteToTerminal(AppServices(), g_doc->settings, sources,
                                                       TerminalBytes(targetPath), source.CopyFlag());
    if (!result.reached) return;

    // Only single files leave the PC tree; a moved folder stays, as it stays on the PC.
    for (const PcSource& moved : std::as_const(sources)) {
        if (moved.folder || !result.removedFromPc.contains(moved.path)) continue;
        if (QTreeWidgetItem* item = source.FindItem(moved.path)) source.RemoveItem(item);
    }
    if (result.stop == kSuccess) {
        if (QTreeWidgetItem* folder = FindItem(targetPath)) {
            FillFolder(folder);
            folder->setExpanded(true);
        }
    }
    source.ClearSelection();
    ClearSelection();
}

void CTerminalFileTree::DeleteItem(QTreeWidgetItem* item) {
    const int kind = ItemImage(item);
    if (kind != kKindFolder && kind != kKindFile) return;
    const QString path = GetItemPath(item);
    const bool deleted = DeleteOnTerminal(AppServices(), g_doc->settings, TerminalBytes(path),
                                          kind == kKindFolder, [&] { DropHighlight(item); });
    if (!deleted) return;
    if (QTreeWidgetItem* gone = FindItem(path)) RemoveItem(gone);
}

void CTerminalFileTree::NewFolder(const QString& name) {
    const QTreeWidgetItem* parent = ContextItem();
    const int kind = ItemImage(parent);
    if (kind != kKindFixed && kind != kKindFolder) return;
    const QString path = GetItemPath(parent);
    if (!MakeTerminalFolder(AppServices(), g_doc->settings, TerminalBytes(path),
                            TerminalBytes(name))) {
        return;
    }
    if (QTreeWidgetItem* folder = FindItem(path)) {
        FillFolder(folder);
        folder->setExpanded(true);
    }
}

void CTerminalFileTree::FormatDrive() {
    const QTreeWidgetItem* drive = CaretItem();
    if (ItemImage(drive) != kKindFixed) return;
    const QString path = GetItemPath(drive);
    FormatTerminalDrive(AppServices(), g_doc->settings, TerminalBytes(path), [&] {
        if (QTreeWidgetItem* item = FindItem(path)) FillFolder(item);
    });
}
