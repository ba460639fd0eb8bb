#include "ui/trees/TerminalFileTree.h"

#include "core/InstalledServices.h"
#include "core/ItemKind.h"
#include "core/OperationGate.h"
#include "core/TarvikDoc.h"
#include "link/DirectoryListing.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"
#include "platform/Prompter.h"
#include "terminal/ItemProperties.h"
#include "terminal/ProjectInstall.h"
#include "terminal/TerminalFileOperations.h"
#include "terminal/TerminalRename.h"
#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/dialogs/ProjectPropertyDialog.h"
#include "ui/dialogs/TerminalPropertiesDialog.h"
#include "platform/PcFileSystem.h"
#include "ui/trees/DesktopDrag.h"
#include "ui/trees/ItemLookup.h"

// The trees' side of the terminal file operations: paths in, items found again by path
// afterwards, since a message box in between may have let the trees change.

void CTerminalFileTree::Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) {
    const int kind = ItemImage(target);
    if (!target || (kind != kKindFixed && kind != kKindFolder) || !source.IsPcTree()) {
        source.ClearSelection();
        ClearSelection();
        return;
    }
    QList<PcSource> sources;
    for (const QTreeWidgetItem* item : source.SelectionList()) {
        sources.append({source.GetItemPath(item), ItemImage(item) == kKindFolder});
    }
    const TerminalPasteResult result = PasteSources(target, sources, source.CopyFlag());
    if (!result.reached) return;
    // Only single files leave the PC tree; a moved folder stays, as it stays on the PC.
    for (const PcSource& moved : std::as_const(sources)) {
        if (moved.folder || !result.removedFromPc.contains(moved.path)) continue;
        if (QTreeWidgetItem* item = source.FindItem(moved.path)) source.RemoveItem(item);
    }
    source.ClearSelection();
    ClearSelection();
}

TerminalPasteResult CTerminalFileTree::PasteSources(QTreeWidgetItem* target, const QList<PcSource>& sources,
                                                    bool copy) {
    const QString targetPath = GetItemPath(target);
    const TerminalPasteResult result =
        PasteToTerminal(InstalledServices(), g_doc->settings, sources, TerminalBytes(targetPath), copy);
    if (result.reached && result.stop == kSuccess) {
        if (QTreeWidgetItem* folder = FindItem(targetPath)) {
            FillFolder(folder);
            folder->setExpanded(true);
        }
    }
    return result;
}

bool CTerminalFileTree::TakesDesktopDrop(const QTreeWidgetItem* item) const {
    const int kind = ItemImage(item);
    return IsFileMode() && isEnabled() && item && (kind == kKindFixed || kind == kKindFolder);
}

void CTerminalFileTree::DropPcPaths(QTreeWidgetItem* target, const QStringList& paths, bool) {
    // Sent as a paste from the PC is: a copy, under the same rules.
    PcFileSystem& files = InstalledServices().files;
    QList<PcSource> sources;
    for (const QString& path : paths) {
        const std::optional<PcEntry> entry = files.Stat(path);
        sources.append({path, entry && entry->IsRealFolder()});
    }
    PasteSources(target, sources, true);
}

QMimeData* CTerminalFileTree::DragOutMime() {
    if (!IsFileMode() || SelectionList().isEmpty()) return nullptr;
    QList<PathAndKind> items;
    for (const QTreeWidgetItem* item : SelectionList()) items.append({GetItemPath(item), ItemImage(item)});
    return new TerminalFilesMime(g_doc->settings, items);
}

void CTerminalFileTree::DeleteItem(QTreeWidgetItem* item) {
    const int kind = ItemImage(item);
    if (kind != kKindFolder && kind != kKindFile) return;
    const QString path = GetItemPath(item);
    const bool deleted = DeleteOnTerminal(InstalledServices(), g_doc->settings, TerminalBytes(path),
                                          kind == kKindFolder, [&] { DropHighlight(item); });
    if (!deleted) return;
    if (QTreeWidgetItem* gone = FindItem(path)) RemoveItem(gone);
}

void CTerminalFileTree::NewFolder(const QString& name) {
    const QTreeWidgetItem* parent = ContextItem();
    const int kind = ItemImage(parent);
    if (kind != kKindFixed && kind != kKindFolder) return;
    const QString path = GetItemPath(parent);
    if (!MakeTerminalFolder(InstalledServices(), g_doc->settings, TerminalBytes(path),
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
    FormatTerminalDrive(InstalledServices(), g_doc->settings, TerminalBytes(path), [&] {
        if (QTreeWidgetItem* item = FindItem(path)) FillFolder(item);
    });
}

void CTerminalFileTree::RenameItem(QTreeWidgetItem* item, const QString& name) {
    const QString oldPath = GetItemPath(item);
    QTreeWidgetItem* parent = item->parent();
    if (!RenameTerminalItem(InstalledServices(), g_doc->settings, oldPath, name)) return;
    if (QTreeWidgetItem* listed = LocateItem(*this, parent, TerminalParentPath(oldPath))) {
        FillFolder(listed);
    }
}

void CTerminalFileTree::ShowProperties() {
    if (!IsFileMode()) {
        ShowRosterProperties();
        return;
    }
    QTreeWidgetItem* item = ContextItem();
    if (!item) return;
    std::optional<ItemProperties> properties;
    {
        OperationScope operation;
        properties = ReadItemProperties(InstalledServices(), g_doc->settings, ItemImage(item),
                                        GetItemPath(item), item->text(0));
    }
    if (!properties) return;
    FilePropertiesDialog dialog(window());
    dialog.SetInfo(properties->kind, properties->location, properties->name, properties->first,
                   properties->second, properties->third, properties->date);
    dialog.exec();
}

void CTerminalFileTree::ShowRosterProperties() {
    QTreeWidgetItem* item = ContextItem();
    const int index = RecordIndex(item);
    if (index < 0) return;
    const ConnectionSettings record = *g_doc->terminals[static_cast<size_t>(index)];
    const int image = ItemImage(item);
    const QString text = item->text(0);
    std::optional<TerminalIdentity> identity;
    {
        OperationScope operation;
        identity = ReadRosterIdentity(InstalledServices(), record);
    }
    if (!identity) return;
    if (image == kKindProjectOrTerminal) {
        TerminalPropertiesDialog dialog(QString::fromStdString(identity->model),
                                        QString::fromStdString(identity->firmware),
                                        QString::fromStdString(identity->serialNumber), window());
        dialog.exec();
        return;
    }
    ProjectPropertyDialog dialog(record, text, window());
    dialog.exec();
}

void CTerminalFileTree::DropProject(QTreeWidgetItem* target, CFileTreeCtrl& source) {
    if (!target || target->parent() != RootItem()) return;
    const int position = RecordIndex(target);
    if (position < 0) return;
    QStringList projectFiles;
    for (const QTreeWidgetItem* item : source.SelectionList()) {
        if (item != source.RootItem() && ItemImage(item) == kKindProjectOrTerminal) {
            projectFiles << DataFolder + u'/' + item->text(0) + QStringLiteral(".prj");
        }
    }

    const Services services = InstalledServices();
    const ConnectionSettings record = *g_doc->terminals[static_cast<size_t>(position)];
    TerminalLink link(services.library, record);
    if (link) DeleteChildren(target);
    // The drop tells, and journals, a terminal that does not answer.
    const DropOutcome outcome = DropProjects(services, link, record, projectFiles, DataFolder);
    if (!link) return;
    // Found again by position: child i stands for record i whatever happened meanwhile.
    QTreeWidgetItem* terminal = RootItem() ? RootItem()->child(position) : nullptr;
    if (outcome != DropOutcome::Ended && terminal && ListTerminalProjects(terminal, &link) == 0) {
        terminal->setExpanded(true);
    }
    link.Close();
    source.ClearSelection();
    ClearSelection();
}

void CTerminalFileTree::RemoveTerminalProject(QTreeWidgetItem* item) {
    if (!item || ItemImage(item) != kKindTerminalProject) return;
    const int position = RecordIndex(item);
    if (position < 0) return;
    const Services services = InstalledServices();
    const ConnectionSettings record = *g_doc->terminals[static_cast<size_t>(position)];
    TerminalLink link(services.library, record);
    // A re-listing forgets the selection, so the terminal is read again only after the last
    // project of the list; each one before it just leaves the tree. The removal tells, and
    // journals, a terminal that does not answer.
    const bool last = SelectionList().isEmpty() || SelectionList().constLast() == item;
    if (!RemoveProject(services, link, record, item->text(0), DataFolder)) return;
    if (!last) {
        RemoveItem(item);
    } else if (QTreeWidgetItem* terminal = RootItem()->child(position)) {
        ListTerminalProjects(terminal, &link);
    }
}
