#pragma once

#include <QStringList>
#include <optional>

// The PC's serial ports under the COM names the port list offers: /dev/ttyS*, then
// /dev/ttyUSB*, then /dev/ttyACM*, numbered COM1, COM2 ... in that order.
QStringList PcSerialPortNames();

// The serial devices among `devicePaths` in COM order: entry i is COM(i + 1). Other devices
// and repeated paths are left out.
QStringList SerialDevicesInComOrder(const QStringList& devicePaths);

// The COM names for a set of device paths.
QStringList ComPortNames(const QStringList& devicePaths);

// Makes PcSerialPortNames name these device paths instead of the PC's; none restores the PC's.
void InstallSerialDevices(std::optional<QStringList> devicePaths);
