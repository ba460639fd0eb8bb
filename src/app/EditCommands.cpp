#include "app/EditCommands.h"

#include "app/Globals.h"
#include "app/MainFrame.h"
#include "app/AppServices.h"
#include "app/TarvikDoc.h"
#include "link/TerminalPath.h"
#include "pc/ItemKind.h"
#include "pc/ItemLookup.h"
#include "pc/NameDialog.h"
#include "pc/PCFileTree.h"
#include "pc/PcFileOperations.h"
#include "terminal/TerminalFileTree.h"
#include "terminal/TerminalRename.h"

void CutOrCopy(CMainFrame& frame, bool copy) {
    CFileTreeCtrl* active = frame.activeTree;
    if (!active) return;
    frame.clipboardSource = active;
    active->SetCopyFlag(copy);
    QTreeWidgetItem* context = active->ContextItem();
    if (!context || active->InSelection(context)) return;
    active->ClearSelection();
    active->AppendToSelection(context);
}

void PasteClipboard(CMainFrame& frame) {
    CFileTreeCtrl* active = frame.activeTree;
    CFileTreeCtrl* source = frame.clipboardSource;
    // A paste always ends the clipboard, whatever the operation did.
    frame.clipboardSource = nullptr;
    if (!active) return;
    auto* roster = qobject_cast<CTerminalFileTree*>(active);
    if (!source || source->SelectionList().isEmpty()) {
        // Nothing to drop: the roster terminal is read again all the same.
        if (roster && !roster->IsFileMode()) {
            OperationScope operation(frame);
            roster->DropProject(active->ContextItem(), *active);
        }
        return;
    }
    OperationScope operation(frame);
    if (source->IsFileMode()) {
        active->Paste(active->CaretItem(), *source);
    } else if (roster) {
        roster->DropProject(active->ContextItem(), *source);
    }
}

void DeleteSelection(CMainFrame& frame) {
    CFileTreeCtrl* active = frame.activeTree;
    if (!active) return;
    if (QTreeWidgetItem* context = active->ContextItem(); context && !active->InSelection(context)) {
        if (!active->ControlFlag()) active->ClearSelection();
        active->AppendToSelection(context);
    }
    frame.clipboardSource = active;
    OperationScope operation(frame);
    // An operation may refill the tree and take later items of the list with it; the tree
    // forgets deleted items, so each is looked up afresh.
    const QList<QTreeWidgetItem*> items = active->SelectionList();
    PermanentDeleteAnswer answer;
    for (QTreeWidgetItem* item : items) {
        if (!active->InSelection(item)) continue;
        active->SetCaretItem(item);
        active->DeleteOne(item, answer);
    }
    active->ClearSelection();
    active->DropHighlight(nullptr);
    active->SetContextItem(nullptr);
}

void NewFolderInContextItem(CMainFrame& frame) {
    CFileTreeCtrl* active = frame.activeTree;
    if (!active) return;
    NameDialog dialog(active->IsPcTree(), NameDialog::kNewFolder, false, &frame);
    if (dialog.exec() != QDialog::Accepted) return;
    OperationScope operation(frame);
    active->NewFolder(dialog.Name());
}

void RenameContextItem(CMainFrame& frame) {
    CFileTreeCtrl* active = frame.activeTree;
    if (!active) return;
    QTreeWidgetItem* item = active->ContextItem();
    if (!item) return;
    NameDialog dialog(active->IsPcTree(), NameDialog::kRename,
                      CFileTreeCtrl::ItemImage(item) == kKindFile, &frame);
    if (dialog.exec() != QDialog::Accepted) return;
    // A device notice during the dialog may have deleted the item; the tree then forgot it.
    if (active->ContextItem() != item) return;
    OperationScope operation(frame);
    const Services services = AppServices();
    const QString oldPath = active->GetItemPath(item);
    QTreeWidgetItem* parent = item->parent();
    if (auto* pc = qobject_cast<CPCFileTree*>(active)) {
        if (!RenamePcItem(services, oldPath, dialog.Name())) return;
        const QString parentPath = PcParentPath(oldPath);
        if (QTreeWidgetItem* listed = LocateItem(*pc, parent, parentPath)) {
            pc->FillFolder(parentPath, listed);
        }
    } else if (auto* terminal = qobject_cast<CTerminalFileTree*>(active)) {
        if (!RenameTerminalItem(services, g_doc->settings, oldPath, dialog.Name())) return;
        if (QTreeWidgetItem* listed = LocateItem(*terminal, parent, TerminalParentPath(oldPath))) {
            terminal->FillFolder(listed);
        }
    }
}

void FormatActiveDrive(CMainFrame& frame) {
    auto* terminal = qobject_cast<CTerminalFileTree*>(frame.activeTree);
    if (!terminal || !terminal->IsFileMode()) return;
    OperationScope operation(frame);
    terminal->FormatDrive();
}

void ShowActiveProperties(CMainFrame& frame) {
    CFileTreeCtrl* active = frame.activeTree;
    auto* pc = qobject_cast<CPCFileTree*>(active);
    auto* terminal = qobject_cast<CTerminalFileTree*>(active);
    if (!pc && !terminal) return;
    if (active->IsFileMode()) {
        if (terminal) terminal->ShowProperties();
    } else if (pc) {
        pc->ShowRosterProperties();
    } else {
        terminal->ShowRosterProperties();
    }
}
