#include "app/CommandState.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/TarvikDoc.h"
#include "pc/FileTreeCtrl.h"
#include "pc/ItemKind.h"

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

bool IsCommandEnabled(int commandId, const CMainFrame& frame, const CTarvikDoc& doc) {
    switch (commandId) {
        case ID_COM_SETUP: return !frame.connected;
        case ID_CLOSE_CONNECT: return !doc.terminals.empty() && frame.closeConnectEnabled;
        // Project Mode needs a terminal in the roster, File Mode a connected terminal.
        case ID_FW_UPGRADE:
            return frame.IsProjectMode() ? !doc.terminals.empty() : !doc.settings.model.empty();
        case ID_EDIT_COPY: return frame.commands.copy;
        case ID_EDIT_CUT: return frame.commands.cut;
        case ID_DELETE: return frame.commands.del;
        case ID_PROPERTY: return frame.commands.property;
        case ID_FORMAT: return frame.commands.format;
        case ID_NEW_FOLDER: return frame.commands.newFolder;
        case ID_RENAME: return frame.commands.rename;
        case ID_EDIT_PASTE: return PasteEnabled(frame.activeTree, frame.clipboardSource);
        default: return true;
    }
}
