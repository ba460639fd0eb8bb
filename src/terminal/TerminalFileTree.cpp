#include "terminal/TerminalFileTree.h"

#include "app/Globals.h"
#include "app/TarvikDoc.h"
#include "link/PortParsing.h"
#include "link/TerminalIdentity.h"
#include "pc/ItemKind.h"

#include <QMouseEvent>

void CTerminalFileTree::Fill() {
    RemoveAllItems();
    SetRootItem(InsertItem(nullptr, QStringLiteral("Terminal"), kKindProjectRoot, false));
    for (const auto& record : g_doc->terminals) {
        // A terminal that does not answer gets no item and no message.
        ScopedLink link(OpenLinkFor(*record));
        if (!link) continue;
        TerminalIdentity identity;
        const bool read = ReadIdentity(link.get(), identity) == kSuccess;
        InsertItem(RootItem(),
                   QString::fromStdString(TerminalLabel(record->portName, read ? &identity : nullptr)),
                   kKindProjectOrTerminal, false);
    }
}

void CTerminalFileTree::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !dragging_ && !IsFileMode()) {
        QTreeWidgetItem* item = itemAt(event->position().toPoint());
        if (item && ItemImage(item) == kKindProjectRoot) item->setExpanded(!item->isExpanded());
    }
    dragging_ = false;
    QTreeWidget::mouseReleaseEvent(event);
}
