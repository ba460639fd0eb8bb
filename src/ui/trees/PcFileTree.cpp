#include "ui/trees/PcFileTree.h"

#include "core/InstalledServices.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "platform/Drives.h"
#include "platform/PcFileSystem.h"

#include <QDir>

namespace {

int KindOf(DriveType type) {
    switch (type) {
        case DriveType::Removable: return kKindRemovable;
        case DriveType::Fixed: return kKindFixed;
        case DriveType::Remote: return kKindNetwork;
        case DriveType::CdRom: return kKindCdRom;
    }
    return kKindFixed;
}

}  // namespace

bool ShowsAsShortName(const QString& name) {
    const qsizetype dot = name.indexOf('.');
    return dot >= 0 && dot <= 8 && name.size() <= 12;
}

QString ProjectNameOf(const QString& entryName) {
    // Case-sensitive, and not at the very start: ".prj" alone is no project.
    if (entryName.indexOf(QLatin1String(".prj")) < 1) return {};
    return entryName.left(entryName.indexOf('.'));
}

void CPCFileTree::Fill() {
    RemoveAllItems();
    PcFileSystem& files = InstalledServices().files;
    if (IsFileMode()) {
        SetRootItem(InsertItem(nullptr, QStringLiteral("PC"), kKindRoot, false));
        const QString home = QDir::homePath();
        for (const LogicalDrive& drive : LogicalDrives()) {
            if (drive.name == home) continue;
            QTreeWidgetItem* item = InsertItem(RootItem(), drive.name, KindOf(drive.type));
            InsertItem(item, QString(), kKindRoot);
        }
        // A user's own files are rarely on a volume of their own: the home folder comes first.
        QTreeWidgetItem* homeItem = NewItem(home, kKindFixed);
        RootItem()->insertChild(0, homeItem);
        InsertItem(homeItem, QString(), kKindRoot);
    } else {
        SetRootItem(InsertItem(nullptr, QStringLiteral("Project:"), kKindProjectRoot, false));
        QList<ListedItem> projects;
        const auto entries = files.List(DataFolder, ListDetail::Kinds);
        for (const PcEntry& entry : entries.value_or(QList<PcEntry>())) {
            const QString project = ProjectNameOf(entry.name);
            if (!project.isEmpty()) projects.append({project, kKindProjectOrTerminal});
        }
        InsertSortedChildren(RootItem(), std::move(projects));
    }
    RootItem()->setExpanded(true);
}

int CPCFileTree::FillFolder(const QString& path, QTreeWidgetItem* item) {
    // Read before the old items go: freeing thousands of items just before a large listing
    // leaves the allocator merging chunks while the new items are made, three times slower.
    auto entries = InstalledServices().files.List(path, ListDetail::Kinds);
    DeleteChildren(item);
    if (!entries) return 0;
    QList<ListedItem> children;
    children.reserve(entries->size());
    for (PcEntry& entry : *entries) {
        if (entry.hidden || entry.system) continue;
        if (entry.folder) {
            children.append({std::move(entry.name), kKindFolder, true});
        } else if (ShowsAsShortName(entry.name)) {
            children.append({std::move(entry.name), kKindFile});
        }
    }
    InsertSortedChildren(item, std::move(children));
    return 0;
}

void CPCFileTree::Click(QTreeWidgetItem* item, bool control) {
    if (!item) return;
    const int kind = ItemImage(item);
    if (IsFileMode()) {
        switch (kind) {
            case kKindRoot: item->setExpanded(!item->isExpanded()); break;
            case kKindRemovable:
            case kKindFixed:
            case kKindCdRom:
            case kKindFolder:
            case kKindNetwork:
                // Listed afresh at every click; the path keeps its case, as the disk does.
                FillFolder(GetItemPath(item), item);
                item->setExpanded(!item->isExpanded());
                break;
            case kKindFile:
                if (!control) ReduceSelectionTo(item);
                break;
            default: break;
        }
        return;
    }
    if (kind != kKindProjectRoot) {
        if (!control) ReduceSelectionTo(item);
        item->setExpanded(!item->isExpanded());
    } else if (item->isExpanded()) {
        item->setExpanded(false);
    } else {
        Fill();
    }
}
