#include "platform/DeviceWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The notices the watcher gave while `change` ran, waiting until the last one is NodesChanged.
QList<DeviceEvent> NoticesOf(DeviceWatcher& watcher, const std::function<void()>& change) {
    QList<DeviceEvent> events;
    QObject::connect(&watcher, &DeviceWatcher::deviceChanged,
                     [&](DeviceEvent event) { events << event; });
    change();
    QElapsedTimer timer;
    timer.start();
    while ((events.isEmpty() || events.last() != DeviceEvent::NodesChanged) &&
           timer.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return events;
}

TEST(DeviceWatcherTest, ATerminalFolderComingAndGoingIsAnArrivalAndARemoval) {
    QTemporaryDir bench;
    DeviceWatcher watcher(bench.path());
    EXPECT_EQ(DeviceWatcher::Current(), &watcher);

    EXPECT_EQ(NoticesOf(watcher, [&] { QDir(bench.path()).mkdir("usb"); }),
              (QList<DeviceEvent>{DeviceEvent::Arrival, DeviceEvent::NodesChanged}));
    DeviceWatcher second(bench.path());
    EXPECT_EQ(NoticesOf(second, [&] { QDir(bench.path()).rmdir("usb"); }),
              (QList<DeviceEvent>{DeviceEvent::RemoveComplete, DeviceEvent::NodesChanged}));
}

TEST(DeviceWatcherTest, AMissingWatchFolderIsNotCreated) {
    QTemporaryDir parent;
    const QString folder = parent.path() + "/not-yet";
    {
        DeviceWatcher watcher(folder);
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(DeviceWatcher::Current(), nullptr);
}

}  // namespace
