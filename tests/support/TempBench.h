#pragma once

#include "link/ModuleLibrary.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

// One emulated terminal of a bench, as its terminal.ini describes it.
struct BenchTerminal {
    std::string folder;  // the terminal's folder name in the bench
    std::string port = "COM3";
    std::string model = "TQ-3100";
    std::string firmware = "A00-1.10";
    std::string serial = "10000042";
    std::string drives = "C:2048 D:4096 E:1024";
    int baud = 0;  // 0: answers at any baud code
    bool offline = false;
    std::string fail;  // injected faults, "TpGetInfo:2681 ..."
};

// A terminal bench in a temporary folder, with the real stand-in modules loaded on it and
// installed as the program's library for the fixture's lifetime.
class TempBench {
public:
    TempBench();
    ~TempBench();

    void Add(const BenchTerminal& terminal);
    void Remove(const std::string& folder);
    // Writes a file on a terminal drive; `path` is like "C/DATA/X.TXT".
    void WriteFile(const std::string& folder, const std::string& path, const std::string& content);
    // A value of the terminal's terminal.ini, or empty.
    std::string IniValue(const std::string& folder, const std::string& key) const;

    QString Path() const { return dir_.path(); }
    ModuleLibrary& Library() { return *library_; }

private:
    QTemporaryDir dir_;
    QByteArray previousBench_;
    std::unique_ptr<ModuleLibrary> library_;
};
