#include "app/EditCommands.h"

#include "app/CommandState.h"
#include "core/ItemKind.h"
#include "core/OperationGate.h"
#include "pc/PcFileOperations.h"
#include "ui/dialogs/NameDialog.h"
#include "ui/trees/TerminalFileTree.h"

void CutOrCopy(CommandState& state, bool copy) {
    CFileTreeCtrl* active = state.activeTree;
    if (!active) return;
    state.clipboardSource = active;
    active->SetCopyFlag(copy);
    QTreeWidgetItem* context = active->ContextItem();
    if (!context || active->InSelection(context)) return;
    active->ClearSelection();
    active->AppendToSelection(context);
}

void PasteClipboard(CommandState& state) {
    CFileTreeCtrl* active = state.activeTree;
    CFileTreeCtrl* source = state.clipboardSource;
    // A paste always ends the clipboard, whatever the operation did.
    state.clipboardSource = nullptr;
    if (!active) return;
    auto* roster = qobject_cast<CTerminalFileTree*>(active);
    if (!source || source->SelectionList().isEmpty()) {
        // Nothing to drop: the roster terminal is read again all the same.
        if (roster && !roster->IsFileMode()) {
            OperationScope operation;
            roster->DropProject(active->ContextItem(), *active);
        }
        return;
    }
    OperationScope operation;
    if (source->IsFileMode()) {
        active->Paste(active->CaretItem(), *source);
    } else if (roster) {
        roster->DropProject(active->ContextItem(), *source);
    }
}

void DeleteSelection(CommandState& state) {
    CFileTreeCtrl* active = state.activeTree;
    if (!active) return;
    if (QTreeWidgetItem* context = active->ContextItem(); context && !active->InSelection(context)) {
        if (!active->ControlFlag()) active->ClearSelection();
        active->AppendToSelection(context);
    }
    state.clipboardSource = active;
    OperationScope operation;
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

void NewFolderInContextItem(CommandState& state, QWidget* window) {
    CFileTreeCtrl* active = state.activeTree;
    if (!active) return;
    NameDialog dialog(active->IsPcTree(), NameDialog::kNewFolder, false, window);
    if (dialog.exec() != QDialog::Accepted) return;
    OperationScope operation;
    active->NewFolder(dialog.Name());
}

void RenameContextItem(CommandState& state, QWidget* window) {
    CFileTreeCtrl* active = state.activeTree;
    if (!active) return;
    QTreeWidgetItem* item = active->ContextItem();
    if (!item) return;
    NameDialog dialog(active->IsPcTree(), NameDialog::kRename,
                      CFileTreeCtrl::ItemImage(item) == kKindFile, window);
    if (dialog.exec() != QDialog::Accepted) return;
    // A device notice during the dialog may have deleted the item; the tree then forgot it.
    if (active->ContextItem() != item) return;
    OperationScope operation;
    active->RenameItem(item, dialog.Name());
}

void FormatActiveDrive(const CommandState& state) {
    auto* terminal = qobject_cast<CTerminalFileTree*>(state.activeTree);
    if (!terminal || !terminal->IsFileMode()) return;
    OperationScope operation;
    terminal->FormatDrive();
}

void ShowActiveProperties(const CommandState& state) {
    if (state.activeTree) state.activeTree->ShowProperties();
}
