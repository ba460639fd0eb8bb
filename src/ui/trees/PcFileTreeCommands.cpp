#include "ui/trees/PcFileTree.h"

#include "core/InstalledServices.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/TerminalPath.h"
#include "pc/PcFileOperations.h"
#include "pc/PcFolderPaste.h"
#include "ui/dialogs/ProjectDownloadDialog.h"
#include "platform/PcFileSystem.h"
#include "ui/trees/DesktopDrag.h"
#include "ui/trees/ItemLookup.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QHash>

namespace {

bool TakesPaste(int kind) {
    return kind == kKindRemovable || kind == kKindFixed || kind == kKindFolder ||
           kind == kKindNetwork;
}

}  // namespace

bool CPCFileTree::TakesDesktopDrop(const QTreeWidgetItem* item) const {
    return IsFileMode() && item && TakesPaste(ItemImage(item));
}

void CPCFileTree::DropPcPaths(QTreeWidgetItem* target, const QStringList& paths, bool move) {
    const Services services = InstalledServices();
    QList<PathAndKind> items;
    for (const QString& path : paths) {
        const std::optional<PcEntry> entry = services.files.Stat(path);
        items.append({path, entry && entry->IsRealFolder() ? kKindFolder : kKindFile});
    }
    const QString targetPath = GetItemPath(target);
    const PcPasteResult result = PasteIntoPcFolder(services, items, targetPath, !move);
    // A source shown in this tree that moved away leaves it.
    for (const QString& path : result.gone) {
        if (QTreeWidgetItem* item = FindItem(path)) RemoveItem(item);
    }
    if (QTreeWidgetItem* item = FindItem(targetPath)) {
        FillFolder(targetPath, item);
        item->setExpanded(true);
    }
}

QMimeData* CPCFileTree::DragOutMime() {
    if (!IsFileMode() || SelectionList().isEmpty()) return nullptr;
    QStringList paths;
    for (const QTreeWidgetItem* item : SelectionList()) paths << GetItemPath(item);
    return PcFilesMime(paths);
}

void CPCFileTree::Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) {
    if (TakesPaste(ItemImage(target)) && source.IsFileMode() && !source.SelectionList().isEmpty()) {
        const QString targetPath = GetItemPath(target);
        const QList<QTreeWidgetItem*> selected = source.SelectionList();
        QList<PathAndKind> items;
        QHash<QString, QTreeWidgetItem*> itemAt;
        for (QTreeWidgetItem* item : selected) {
            items.append({source.GetItemPath(item), ItemImage(item)});
            itemAt.insert(items.last().path, item);
        }
        const Services services = InstalledServices();
        const bool copy = source.CopyFlag();
        if (source.IsPcTree()) {
            const PcPasteResult result = PasteIntoPcFolder(services, items, targetPath, copy);
            for (const QString& path : result.gone) {
                if (QTreeWidgetItem* item = LocateItem(source, itemAt.value(path), path)) {
                    source.RemoveItem(item);
                }
            }
            for (const QString& path : result.changed) {
                if (QTreeWidgetItem* item = LocateItem(*this, itemAt.value(path), path)) {
                    FillFolder(path, item);
                }
            }
        } else {
            const QString listedPath = TerminalParentPath(items.first().path);
            QTreeWidgetItem* listed = selected.first()->parent();
            const PcPasteResult result =
                PasteTerminalIntoPcFolder(services, g_doc->settings, items, targetPath, copy);
            if (result.reached) {
                for (const QString& path : result.gone) {
                    if (QTreeWidgetItem* item = LocateItem(source, itemAt.value(path), path)) {
                        source.RemoveItem(item);
                    }
                }
                if (QTreeWidgetItem* item = LocateItem(source, listed, listedPath)) {
                    source.RefreshFolder(item, listedPath);
                }
            }
        }
        if (QTreeWidgetItem* item = LocateItem(*this, target, targetPath)) {
            FillFolder(targetPath, item);
            item->setExpanded(true);
        }
    }
    source.ClearSelection();
    ClearSelection();
    SetContextItem(nullptr);
}

void CPCFileTree::DeleteItem(QTreeWidgetItem* item, PermanentDeleteAnswer& answer) {
    const int kind = ItemImage(item);
    if (kind != kKindFolder && kind != kKindFile) return;
    const QString path = GetItemPath(item);
    const bool gone = DeletePcItem(InstalledServices(), path, answer);
    QTreeWidgetItem* found = LocateItem(*this, item, path);
    if (!found) return;
    if (gone) {
        RemoveItem(found);
    } else if (kind == kKindFolder) {
        FillFolder(path, found);  // shows what could not be deleted
    }
}

void CPCFileTree::NewFolder(const QString& name) {
    QTreeWidgetItem* parent = ContextItem();
    if (!TakesPaste(ItemImage(parent))) return;
    const QString path = GetItemPath(parent);
    MakePcFolder(InstalledServices(), path, name);
    if (QTreeWidgetItem* item = LocateItem(*this, parent, path)) {
        FillFolder(path, item);
        item->setExpanded(true);
    }
}

void CPCFileTree::DeleteProject(QTreeWidgetItem* item, PermanentDeleteAnswer& answer) {
    if (ItemImage(item) != kKindProjectOrTerminal || item == RootItem()) return;
    // A refill forgets the selection, so the data folder is read again only after the last
    // project of the list; each one before it just leaves the tree.
    const bool last = SelectionList().isEmpty() || SelectionList().constLast() == item;
    if (DeleteProjectFile(InstalledServices(), DataFolder, item->text(0), answer)) RemoveItem(item);
    if (last) Fill();
}

void CPCFileTree::RenameItem(QTreeWidgetItem* item, const QString& name) {
    const QString oldPath = GetItemPath(item);
    QTreeWidgetItem* parent = item->parent();
    if (!RenamePcItem(InstalledServices(), oldPath, name)) return;
    const QString parentPath = PcParentPath(oldPath);
    if (QTreeWidgetItem* listed = LocateItem(*this, parent, parentPath)) FillFolder(parentPath, listed);
}

void CPCFileTree::ShowProperties() {
    QTreeWidgetItem* item = ContextItem();
    if (!item || IsFileMode() || ItemImage(item) != kKindProjectOrTerminal) return;
    ProjectDownloadDialog dialog(item->text(0), window());
    dialog.exec();
    // What the dialog installed shows under the terminals listed open.
    if (g_terminalView) g_terminalView->Roster()->RelistOpenTerminals();
}
