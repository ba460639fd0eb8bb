#include "platform/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

QString DocumentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!folder.isEmpty()) return folder;
    return QDir::homePath() + QStringLiteral("/Documents");
}
