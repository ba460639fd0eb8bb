#include "ui/trees/TerminalFileTree.h"

#include "core/InstalledServices.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

namespace {

// The terminal needs a moment between two drive probes.
constexpr int kProbePauseMs = 20;

}  // namespace

QString EntryText(const DirectoryEntry& entry) {
    return TerminalText(entry.IsFile() ? entry.DisplayName() : entry.name);
}

void CTerminalFileTree::Fill() {
    RemoveAllItems();
    SetRootItem(InsertItem(nullptr, QStringLiteral("Terminal"), kKindProjectRoot, false));
    const Services services = InstalledServices();
    auto& terminals = g_doc->terminals;
    // Child i stands for record i, so a terminal that does not answer leaves the roster.
    for (auto record = terminals.begin(); record != terminals.end();) {
        TerminalLink link(services.library, **record);
        if (!link) {
            record = terminals.erase(record);
            continue;
        }
        TerminalIdentity identity;
        const bool read = link.ReadIdentity(identity) == kSuccess;
        InsertItem(RootItem(),
                   QString::fromStdString(TerminalLabel((*record)->portName, read ? &identity : nullptr)),
                   kKindProjectOrTerminal, false);
        ++record;
    }
}

int CTerminalFileTree::RecordIndex(const QTreeWidgetItem* item) const {
    if (!item || IsFileMode()) return -1;
    if (ItemImage(item) == kKindTerminalProject) item = item->parent();
    if (!item || item->parent() != RootItem()) return -1;
    const int position = RootItem()->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    if (position < 0 || static_cast<size_t>(position) >= g_doc->terminals.size()) return -1;
    return position;
}

int CTerminalFileTree::FillFolder(QTreeWidgetItem* item) {
    const Services services = InstalledServices();
    TerminalLink link(services.library, g_doc->settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return 1;
    }
    DeleteChildren(item);
    std::vector<DirectoryEntry> entries;
    if (ItemImage(item) == kKindTerminal) {
        for (const char* drive : kTerminalDrives) {
            const ResultCode rc = link.ListFolder(drive, entries);
            const bool lastDrive = drive == kTerminalDrives.back();
            if (rc == kSuccess) {
                QTreeWidgetItem* driveItem = InsertItem(item, QLatin1String(drive), kKindFixed);
                InsertItem(driveItem, QString(), kKindRoot);
                if (!lastDrive) services.clock.Pause(kProbePauseMs);
                continue;
            }
            // A terminal without drive E answers "Invalid disk." there, which is no fault.
            if (lastDrive && rc == kInvalidDisk) break;
            ShowMessage(services.prompter, ResultCodeMessage(rc));
            break;
        }
        return 1;
    }
    const ResultCode rc = link.ListFolder(UpperTerminalBytes(GetItemPath(item)), entries);
    if (rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return 1;
    }
    QList<ListedItem> children;
    for (const DirectoryEntry& entry : entries) {
        if (entry.IsFolder()) {
            children.append({EntryText(entry), kKindFolder, true});
        } else if (entry.IsFile()) {
            children.append({EntryText(entry), kKindFile});
        }
    }
    InsertSortedChildren(item, std::move(children));
    return 1;
}

int CTerminalFileTree::ListTerminalProjects(QTreeWidgetItem* item, TerminalLink* link) {
    if (!item || item->parent() != RootItem() || ItemImage(item) != kKindProjectOrTerminal) return 1;
    const int position = RecordIndex(item);
    if (position < 0) return 1;
    const Services services = InstalledServices();
    std::optional<TerminalLink> ownLink;
    if (!link) {
        ownLink.emplace(services.library, *g_doc->terminals[static_cast<size_t>(position)]);
        if (!*ownLink) {
            ShowMessage(services.prompter, kDeviceOfflineText);
            return 1;
        }
        link = &*ownLink;
    }
    DeleteChildren(item);
    std::vector<DirectoryEntry> entries;
    const ResultCode rc = link->ListFolder("D:\\", entries);
    if (rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return rc;
    }
    QList<ListedItem> projects;
    for (const DirectoryEntry& entry : entries) {
        if (entry.IsProjectInformationFile()) {
            projects.append({TerminalText(entry.name), kKindTerminalProject});
        }
    }
    InsertSortedChildren(item, std::move(projects));
    return rc;
}

void CTerminalFileTree::RelistOpenTerminals() {
    QTreeWidgetItem* root = RootItem();
    if (!root || IsFileMode()) return;
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* item = root->child(i);
        const int position = RecordIndex(item);
        if (!item->isExpanded() || position < 0) continue;
        TerminalLink link(InstalledServices().library, *g_doc->terminals[static_cast<size_t>(position)]);
        if (link) ListTerminalProjects(item, &link);
    }
}

void CTerminalFileTree::AcceptDrop(QTreeWidgetItem* item, CFileTreeCtrl& source) {
    if (IsFileMode()) {
        Paste(item, source);
    } else {
        DropProject(item, source);
    }
}

void CTerminalFileTree::Click(QTreeWidgetItem* item, bool control) {
    if (!item) return;
    const int kind = ItemImage(item);
    if (IsFileMode()) {
        if (kind == kKindFile) {
            if (!control) ReduceSelectionTo(item);
        } else if (kind <= kKindFolder) {
            FillFolder(item);
            item->setExpanded(!item->isExpanded());
        }
        return;
    }
    if (kind == kKindProjectRoot) {
        item->setExpanded(!item->isExpanded());
    } else if (kind == kKindProjectOrTerminal && ListTerminalProjects(item, nullptr) == 0) {
        item->setExpanded(!item->isExpanded());
    }
}
