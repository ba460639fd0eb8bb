#include "app/CommandState.h"

#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "ui/trees/FileTreeCtrl.h"

bool PasteEnabled(const CFileTreeCtrl* active, const CFileTreeCtrl* source) {
    if (!active) return false;
    const bool sourceHasItems = source && !source->SelectionList().isEmpty();
    if (active->IsFileMode()) {
        if (!source) return false;
        const int image = CFileTreeCtrl::ItemImage(active->ContextItem());
        if (active->IsPcTree()) return sourceHasItems && image != kKindRoot && image != kKindFile;
        if (source == active) return false;
        return sourceHasItems && (image == kKindFolder || image == kKindFixed);
    }
    if (active->IsPcTree()) return false;
    // With nothing to drop, a Paste onto a roster terminal reads its projects again.
    const QTreeWidgetItem* target = active->ContextItem();
    if (!sourceHasItems) return target && target->parent() == active->RootItem();
    return source != active;
}

QString CollectedProject(const CommandState& state) {
    const CFileTreeCtrl* tree = state.activeTree;
    if (!tree || tree->IsFileMode()) return {};
    // A right click names the item; a left click selects the project.
    const QTreeWidgetItem* item = tree->ContextItem();
    if (!item && tree->SelectionList().size() == 1) item = tree->SelectionList().constFirst();
    if (!item) return {};
    const int kind = CFileTreeCtrl::ItemImage(item);
    const bool pcProject = tree->IsPcTree() && kind == kKindProjectOrTerminal && item->parent() == tree->RootItem();
    const bool installedProject = !tree->IsPcTree() && kind == kKindTerminalProject;
    return pcProject || installedProject ? item->text(0) : QString();
}

bool IsCommandEnabled(int commandId, const CommandState& state, bool projectMode,
                      const CTarvikDoc& doc) {
    switch (commandId) {
        case ID_COM_SETUP: return !state.connected;
        case ID_CLOSE_CONNECT: return !doc.terminals.empty() && state.closeConnectEnabled;
        // Project Mode needs a terminal in the roster, File Mode a connected terminal.
        case ID_FW_UPGRADE:
            return projectMode ? !doc.terminals.empty() : !doc.settings.model.empty();
        case ID_COLLECT_DATA: return projectMode && !doc.terminals.empty() && !CollectedProject(state).isEmpty();
        case ID_EDIT_COPY: return state.commands.copy;
        case ID_EDIT_CUT: return state.commands.cut;
        case ID_DELETE: return state.commands.del;
        case ID_PROPERTY: return state.commands.property;
        case ID_FORMAT: return state.commands.format;
        case ID_NEW_FOLDER: return state.commands.newFolder;
        case ID_RENAME: return state.commands.rename;
        case ID_EDIT_PASTE: return PasteEnabled(state.activeTree, state.clipboardSource);
        // The journal is on the PC, whatever is connected.
        case ID_VIEW_JOURNAL: return true;
        default: return true;
    }
}
