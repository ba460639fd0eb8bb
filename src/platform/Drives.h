#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

enum class DriveType { Removable = 2, Fixed = 3, Remote = 4, CdRom = 5 };

// A mounted volume; its mount point stands for the drive's name.
struct LogicalDrive {
    QString name;
    DriveType type;
};

// The mounted volumes a user can browse, in mount-point order; RAM and pseudo file systems
// are left out.
QList<LogicalDrive> LogicalDrives();

// The drive type of a file system, or none for one that is not shown.
std::optional<DriveType> DriveTypeOf(const QByteArray& fileSystemType, bool removable);
