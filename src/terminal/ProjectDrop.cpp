#include "terminal/TerminalFileTree.h"

#include "app/Globals.h"
#include "app/AppServices.h"
#include "app/TarvikDoc.h"
#include "link/TerminalLink.h"
#include "pc/ItemKind.h"
#include "platform/Prompter.h"
#include "terminal/ProjectInstall.h"

namespace {


}  // namespace

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

    const Services services = AppServices();
    const ConnectionSettings record = *g_doc->terminals[static_cast<size_t>(position)];
    TerminalLink link(services.library, record);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return;
    }
    DeleteChildren(target);
    const DropOutcome outcome = DropProjects(services, link, record, projectFiles, DataFolder);
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
    const Services services = AppServices();
    TerminalLink link(services.library, *g_doc->terminals[static_cast<size_t>(position)]);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return;
    }
    // A re-listing forgets the selection, so the terminal is read again only after the last
    // project of the list; each one before it just leaves the tree.
    const bool last = SelectionList().isEmpty() || SelectionList().constLast() == item;
    if (!RemoveProject(services, link, item->text(0), DataFolder)) return;
    if (!last) {
        RemoveItem(item);
    } else if (QTreeWidgetItem* terminal = RootItem()->child(position)) {
        ListTerminalProjects(terminal, &link);
    }
}
