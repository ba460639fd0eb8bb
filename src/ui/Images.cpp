#include "ui/Images.h"

#include <QPixmap>
#include <QString>

// The images are compiled into the program's library; a static library's resources register
// only when asked to.
static void RegisterImages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(tarvik);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QString ImagePath(const char* name) {
    RegisterImages();
    return QStringLiteral(":/icons/") + QLatin1String(name);
}

QList<QIcon> Load(std::initializer_list<const char*> names) {
    QList<QIcon> icons;
    for (const char* name : names) icons.append(QIcon(ImagePath(name)));
    return icons;
}

}  // namespace

QList<QIcon> FileModeImages() {
    return Load({"kind0-computer.svg", "kind1-terminal.svg", "kind2-floppy.svg",
                 "kind3-harddisk.svg", "kind4-cdrom.svg", "kind5-folder.svg",
                 "kind6-notepad.svg", "kind7-network.svg", "kind8-terminal-offline.svg"});
}

QList<QIcon> PcProjectImages() { return Load({"project-root.svg", "project.svg"}); }

QList<QIcon> RosterImages() {
    return Load({"roster-root.svg", "roster-terminal.svg", "project.svg"});
}

QList<QIcon> ToolbarImages(bool projectMode) {
    if (projectMode) {
        return Load({"tb-new-connect.svg", "tb-close-connect.svg", "tb-about.svg",
                     "tb-about.svg"});
    }
    return Load({"tb-com-setup.svg", "tb-connect.svg", "tb-about.svg", "tb-connected.svg"});
}

QIcon ApplicationIcon() { return QIcon(ImagePath("app.svg")); }

QCursor Cursor(DragCursor cursor) {
    const char* name = "cursor-drop-file.svg";
    switch (cursor) {
        case DragCursor::DropFile: name = "cursor-drop-file.svg"; break;
        case DragCursor::NoFile: name = "cursor-no-file.svg"; break;
        case DragCursor::DropProject: name = "cursor-drop-project.svg"; break;
        case DragCursor::NoProject: name = "cursor-no-project.svg"; break;
    }
    // The arrow's tip, at the image's top left, is the hot spot.
    return QCursor(QIcon(ImagePath(name)).pixmap(32, 32), 0, 0);
}
