#include "link/TerminalPath.h"

QString TerminalParentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    if (slash < 0) return {};
    return path.indexOf(u'\\') == slash ? path.left(slash + 1) : path.left(slash);
}

QString TerminalNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'\\') + 1);
}
