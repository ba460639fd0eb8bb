#include "pc/PCFileTree.h"

#include "app/Globals.h"
#include "pc/ItemKind.h"
#include "platform/Drives.h"

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

void CPCFileTree::Fill() {
    RemoveAllItems();
    if (IsFileMode()) {
        SetRootItem(InsertItem(nullptr, QStringLiteral("PC"), kKindRoot, false));
        for (const LogicalDrive& drive : LogicalDrives()) {
            QTreeWidgetItem* item = InsertItem(RootItem(), drive.name, KindOf(drive.type));
            InsertItem(item, QString(), kKindRoot);
        }
    } else {
        SetRootItem(InsertItem(nullptr, QStringLiteral("Project:"), kKindProjectRoot, false));
        const QStringList entries = QDir(DataFolder).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QString& name : entries) {
            // Case-sensitive, and not at the very start: ".prj" alone is no project.
            if (name.indexOf(QLatin1String(".prj")) < 1) continue;
            InsertItem(RootItem(), name.left(name.indexOf('.')), kKindProjectOrTerminal);
        }
    }
    RootItem()->setExpanded(true);
}
