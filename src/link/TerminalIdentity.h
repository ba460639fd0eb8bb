#pragma once

#include <string>

// What TpGetInfo tells of a terminal: its first three identity buffers.
struct TerminalIdentity {
    std::string model;
    std::string firmware;
    std::string serialNumber;
};

inline constexpr int kIdentityBufferSize = 20;

// The text that names a terminal in the terminal pane; `identity` is null when its read failed.
std::string TerminalLabel(const std::string& portName, const TerminalIdentity* identity);
