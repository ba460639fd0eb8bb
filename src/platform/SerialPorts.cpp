#include "platform/SerialPorts.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>
#include <vector>

namespace {

std::optional<QStringList> g_installed;

QStringList PcSerialDevices() {
    QStringList paths;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) paths << port.systemLocation();
    return paths;
}

}  // namespace

QStringList SerialDevicesInComOrder(const QStringList& devicePaths) {
    static const QStringList families = {QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
                                         QStringLiteral("ttyACM")};
    static const QRegularExpression pattern(QStringLiteral("^/dev/(ttyS|ttyUSB|ttyACM)(\\d+)$"));

    // Sorted by number, not by text, so ttyS10 comes after ttyS9.
    std::vector<std::tuple<qsizetype, qulonglong, QString>> devices;
    for (const QString& path : devicePaths) {
        const QRegularExpressionMatch match = pattern.match(path);
        if (!match.hasMatch()) continue;
        bool ok = false;
        const qulonglong number = match.captured(2).toULongLong(&ok);
        if (!ok) continue;
        devices.emplace_back(families.indexOf(match.captured(1)), number, path);
    }
    std::sort(devices.begin(), devices.end());
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());

    QStringList ordered;
    for (const auto& device : devices) ordered << std::get<2>(device);
    return ordered;
}

QStringList ComPortNames(const QStringList& devicePaths) {
    const qsizetype count = SerialDevicesInComOrder(devicePaths).size();
    QStringList names;
    for (qsizetype i = 0; i < count; ++i) names << QStringLiteral("COM%1").arg(i + 1);
    return names;
}

QStringList PcSerialPortNames() {
    return ComPortNames(g_installed ? *g_installed : PcSerialDevices());
}

void InstallSerialDevices(std::optional<QStringList> devicePaths) {
    g_installed = std::move(devicePaths);
}
