#include "app/EditCommands.h"

#include "app/MainFrame.h"
#include "pc/PCFileTree.h"
#include "terminal/TerminalFileTree.h"

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
    if (!active || !source || source->SelectionList().isEmpty()) return;
    OperationScope operation(frame);
    if (source->IsFileMode()) {
        if (auto* pc = qobject_cast<CPCFileTree*>(active)) {
            pc->Paste(active->CaretItem(), *source);
        } else if (auto* terminal = qobject_cast<CTerminalFileTree*>(active)) {
            terminal->Paste(active->CaretItem(), *source);
        }
    } else if (auto* roster = qobject_cast<CTerminalFileTree*>(active)) {
        roster->DropProject(active->ContextItem(), *source);
    }
}

namespace {

void DeleteOne(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
    auto* pc = qobject_cast<CPCFileTree*>(&tree);
    auto* terminal = qobject_cast<CTerminalFileTree*>(&tree);
    if (tree.IsFileMode()) {
        if (pc) pc->DeleteItem(item);
        if (terminal) terminal->DeleteItem(item);
    } else {
        if (pc) pc->DeleteProject(item);
        if (terminal) terminal->RemoveTerminalProject(item);
    }
}

}  // namespace

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
    for (QTreeWidgetItem* item : items) {
        if (!active->InSelection(item)) continue;
        active->SetCaretItem(item);
        DeleteOne(*active, item);
    }
    active->ClearSelection();
    active->DropHighlight(nullptr);
    active->SetContextItem(nullptr);
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
