#include "platform/Drives.h"

#include <QFile>
#include <QStorageInfo>
#include <algorithm>

namespace {

bool IsOneOf(const QByteArray& type, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return type == name; });
}

// A block device that the kernel marks removable, such as a USB stick or a card.
bool IsRemovableDevice(const QByteArray& device) {
    if (!device.startsWith("/dev/")) return false;
    QByteArray name = device.mid(5);
    // Partitions report through their disk: sdb1 -> sdb, mmcblk0p1 -> mmcblk0.
    QFile flag("/sys/class/block/" + QString::fromLatin1(name) + "/../removable");
    if (!flag.exists()) flag.setFileName("/sys/class/block/" + QString::fromLatin1(name) + "/removable");
    if (!flag.open(QIODevice::ReadOnly)) return false;
    return flag.readAll().trimmed() == "1";
}

}  // namespace

std::optional<DriveType> DriveTypeOf(const QByteArray& type, bool removable) {
    if (IsOneOf(type, {"tmpfs", "ramfs", "devtmpfs", "proc", "sysfs", "devpts", "cgroup",
                       "cgroup2", "securityfs", "debugfs", "tracefs", "pstore", "bpf",
                       "mqueue", "hugetlbfs", "configfs", "fusectl", "autofs", "binfmt_misc",
                       "efivarfs", "squashfs", "nsfs", "rpc_pipefs", ""})) {
        return std::nullopt;
    }
    if (IsOneOf(type, {"iso9660", "udf"})) return DriveType::CdRom;
    if (IsOneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p",
                       "afs", "fuse.rclone", "davfs"})) {
        return DriveType::Remote;
    }
    return removable ? DriveType::Removable : DriveType::Fixed;
}

QList<LogicalDrive> LogicalDrives() {
    QList<LogicalDrive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid()) continue;
        const auto type =
            DriveTypeOf(volume.fileSystemType(), IsRemovableDevice(volume.device()));
        if (type) drives.append({volume.rootPath(), *type});
    }
    std::sort(drives.begin(), drives.end(),
              [](const LogicalDrive& a, const LogicalDrive& b) { return a.name < b.name; });
    return drives;
}
