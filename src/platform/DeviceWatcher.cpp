#include "platform/DeviceWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <libudev.h>

namespace {
DeviceWatcher* g_current = nullptr;
}

DeviceWatcher::DeviceWatcher(const QString& watchFolder, QObject* parent)
    : QObject(parent), watchFolder_(watchFolder) {
    g_current = this;
    // A watch folder that does not exist yet is not created: it is the module's, not ours.
    if (!watchFolder_.isEmpty() && QFileInfo(watchFolder_).isDir()) {
        folderWatcher_ = new QFileSystemWatcher(this);
        folderWatcher_->addPath(watchFolder_);
        terminals_ = WatchedTerminals();
        connect(folderWatcher_, &QFileSystemWatcher::directoryChanged, this,
                &DeviceWatcher::OnWatchFolderChanged);
    }
    udev_ = udev_new();
    if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_) {
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr);
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device");
        if (udev_monitor_enable_receiving(monitor_) == 0) {
            notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read,
                                            this);
            connect(notifier_, &QSocketNotifier::activated, this,
                    &DeviceWatcher::OnUdevReadable);
        }
    }
}

DeviceWatcher::~DeviceWatcher() {
    if (g_current == this) g_current = nullptr;
    delete notifier_;
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

DeviceWatcher* DeviceWatcher::Current() { return g_current; }

void DeviceWatcher::OnUdevReadable() {
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device) return;
    const QString action = QString::fromLatin1(udev_device_get_action(device));
    udev_device_unref(device);
    if (action == QLatin1String("add")) {
        Q_EMIT deviceChanged(DeviceEvent::Arrival);
    } else if (action == QLatin1String("remove")) {
        Q_EMIT deviceChanged(DeviceEvent::RemoveComplete);
    }
    Q_EMIT deviceChanged(DeviceEvent::NodesChanged);
}

// A terminal folder appearing in the watch folder is a device plugged in, one vanishing is a
// device pulled out.
void DeviceWatcher::OnWatchFolderChanged() {
    const QSet<QString> now = WatchedTerminals();
    const bool arrived = !(now - terminals_).isEmpty();
    const bool removed = !(terminals_ - now).isEmpty();
    terminals_ = now;
    if (arrived) Q_EMIT deviceChanged(DeviceEvent::Arrival);
    if (removed) Q_EMIT deviceChanged(DeviceEvent::RemoveComplete);
    Q_EMIT deviceChanged(DeviceEvent::NodesChanged);
}

QSet<QString> DeviceWatcher::WatchedTerminals() const {
    const QStringList names =
        QDir(watchFolder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    return QSet<QString>(names.begin(), names.end());
}
