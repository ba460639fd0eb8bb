#include "support/TempBench.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

TempBench::TempBench() : previousBench_(qgetenv("TARVIK_TERMINALS")) {
    qputenv("TARVIK_TERMINALS", dir_.path().toLocal8Bit());
    library_ = std::make_unique<ModuleLibrary>(TARVIK_MODULE_DIR);
    InstallTerminalLibrary(library_.get());
}

TempBench::~TempBench() {
    InstallTerminalLibrary(nullptr);
    library_.reset();
    if (previousBench_.isNull()) {
        qunsetenv("TARVIK_TERMINALS");
    } else {
        qputenv("TARVIK_TERMINALS", previousBench_);
    }
}

void TempBench::Add(const BenchTerminal& terminal) {
    QDir bench(dir_.path());
    const QString folder = QString::fromStdString(terminal.folder);
    bench.mkpath(folder);
    for (const char* drive : {"C", "D", "E"}) {
        if (terminal.drives.find(std::string(drive) + ":") != std::string::npos) {
            bench.mkpath(folder + "/" + drive);
        }
    }
    QFile ini(bench.filePath(folder + "/terminal.ini"));
    ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QTextStream out(&ini);
    out << "port=" << terminal.port.c_str() << "\n";
    if (terminal.baud != 0) out << "baud=" << terminal.baud << "\n";
    out << "model=" << terminal.model.c_str() << "\n";
    out << "firmware=" << terminal.firmware.c_str() << "\n";
    out << "serial=" << terminal.serial.c_str() << "\n";
    out << "drives=" << terminal.drives.c_str() << "\n";
    out << "offline=" << (terminal.offline ? 1 : 0) << "\n";
    out << "fail=" << terminal.fail.c_str() << "\n";
}

void TempBench::Remove(const std::string& folder) {
    QDir(dir_.path() + "/" + QString::fromStdString(folder)).removeRecursively();
}

void TempBench::WriteFile(const std::string& folder, const std::string& path,
                          const std::string& content) {
    const QString full = dir_.path() + "/" + QString::fromStdString(folder + "/" + path);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content.data(), static_cast<qint64>(content.size()));
}

std::string TempBench::IniValue(const std::string& folder, const std::string& key) const {
    QFile ini(dir_.path() + "/" + QString::fromStdString(folder) + "/terminal.ini");
    if (!ini.open(QIODevice::ReadOnly)) return {};
    const QString prefix = QString::fromStdString(key) + "=";
    while (!ini.atEnd()) {
        const QString line = QString::fromUtf8(ini.readLine()).trimmed();
        if (line.startsWith(prefix)) return line.mid(prefix.size()).toStdString();
    }
    return {};
}
