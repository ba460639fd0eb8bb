#pragma once

#include "link/TerminalLibrary.h"

#include <cstdint>
#include <optional>
#include <string>

enum class PortKind : int32_t { Com = 1, Usb = 2, Other = 4 };

// The first two arguments of TpOpen for a port name.
struct PortAddress {
    PortKind kind;
    int32_t number;
};

// Whether a port name, as written, names a USB terminal ("TQ-", case-sensitive). The label, the
// upgrade list and the USB device handling go by this; opening a link goes by "TQ" alone.
inline bool NamesUsbTerminal(const std::string& portName) {
    return portName.find("TQ-") != std::string::npos;
}

class Prompter;

// Index of `portName` among the first `count` USB terminal names (exact, case-sensitive), or -1.
// A count beyond any PC's is bounded, and told through `prompter` when one is given.
int FindUsbTerminal(TerminalLibrary& library, const std::string& portName, uint32_t count,
                    Prompter* prompter = nullptr);

// Turns a port name into TpOpen's kind and number; none for a USB name that is not attached.
std::optional<PortAddress> ParsePort(TerminalLibrary& library, const std::string& portName);

// Opens a link with the TpOpen arguments of a parsed port; 0 when there is none.
uint32_t OpenLink(TerminalLibrary& library, const std::optional<PortAddress>& address,
                  int32_t baudCode);
