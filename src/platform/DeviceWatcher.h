#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QFileSystemWatcher;
class QSocketNotifier;
struct udev;
struct udev_monitor;

// The device-change notices the program reacts to, numbered as the platform numbers them.
enum class DeviceEvent { NodesChanged = 0x0007, Arrival = 0x8000, RemoveComplete = 0x8004 };

// Turns udev's tty and usb events, and changes of the terminal module's watch folder, into
// device arrival, removal and "nodes changed" notices.
class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    // `watchFolder` may be empty when the terminal module names none.
    explicit DeviceWatcher(const QString& watchFolder, QObject* parent = nullptr);
    ~DeviceWatcher() override;

    // The watcher of the running main window, or null; an open dialog listens to it too.
    static DeviceWatcher* Current();

Q_SIGNALS:
    void deviceChanged(DeviceEvent event);

private:
    void OnUdevReadable();
    void OnWatchFolderChanged();
    QSet<QString> WatchedTerminals() const;

    QString watchFolder_;
    QSet<QString> terminals_;
    QFileSystemWatcher* folderWatcher_ = nullptr;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};
