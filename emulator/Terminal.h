#pragma once

#include "Ini.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace emu {

// One emulated terminal: its folder in the bench and the settings of its terminal.ini.
class Terminal {
public:
    // Empty unless `folder` is a real folder (no symbolic link) holding a terminal.ini.
    static std::optional<Terminal> Load(const std::filesystem::path& folder);

    const std::filesystem::path& Folder() const { return folder_; }
    std::string Name() const { return folder_.filename().string(); }
    std::string Port() const { return ini_.Get("port"); }
    std::string Model() const { return ini_.Get("model"); }
    std::string Firmware() const { return ini_.Get("firmware"); }
    std::string Serial() const { return ini_.Get("serial"); }

    bool IsUsb() const { return Port().find("TQ") != std::string::npos; }
    bool IsOffline() const { return ini_.Get("offline") == "1"; }
    bool AnswersAtBaud(int32_t baudCode) const;
    // rate= in bytes a second; 0 (no limit) when absent or not a whole number.
    std::uint64_t RateBytesPerSecond() const;
    // The code that fail= injects for the operation named so, or 0.
    int32_t InjectedFault(std::string_view operation) const;

    bool HasDrive(char drive) const { return CapacityKB(drive) >= 0; }
    // The capacity that drives= gives, or -1 for a drive the terminal does not have.
    int32_t CapacityKB(char drive) const;
    bool IsUnformatted(char drive) const;
    // The folder holding the drive's files, made when it is missing; empty when the drive
    // does not exist or its folder cannot be used.
    std::filesystem::path DriveFolder(char drive) const;

    // Both rewrite terminal.ini at once, keeping its other lines.
    bool SetFirmware(std::string_view version);
    bool MarkFormatted(char drive);

private:
    Terminal(std::filesystem::path folder, IniFile ini)
        : folder_(std::move(folder)), ini_(std::move(ini)) {}
    bool Save() const;

    std::filesystem::path folder_;
    IniFile ini_;
};

}  // namespace emu
