#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A PC path as the kernel takes it. Trailing slashes are dropped: they would make lstat,
// rename and rmdir look through a final symbolic link.
inline QByteArray NativePath(const QString& path) {
    QByteArray bytes = QFile::encodeName(path);
    while (bytes.size() > 1 && bytes.endsWith('/')) bytes.chop(1);
    return bytes;
}

// The folder a native path lies in: "/" for a top-level entry, "." for a bare name.
inline QByteArray NativeParentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}
