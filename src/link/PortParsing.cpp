#include "link/PortParsing.h"

#include "link/ModuleLimits.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

int FindUsbTerminal(TerminalLibrary& library, const std::string& portName, uint32_t count,
                    Prompter* prompter) {
    const int32_t length = BoundedNameLength(library.TpUsbNameLength());
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const uint32_t bounded = BoundedCount(count, prompter);
    for (uint32_t index = 0; index < bounded; ++index) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        int32_t size = static_cast<int32_t>(buffer.size());
        library.TpUsbName(static_cast<int32_t>(index), buffer.data(), &size);
        // The module may fill the whole buffer; never read past it.
        const std::string name(buffer.data(), strnlen(buffer.data(), buffer.size()));
        if (name == portName) return static_cast<int>(index);
    }
    return -1;
}

std::optional<PortAddress> ParsePort(TerminalLibrary& library, const std::string& portName) {
    std::string upper = portName;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.find("COM") != std::string::npos) {
        // The number is what follows the name's first three characters, read as a leading
        // integer: "COM12" gives 12, "COMX" gives 0.
        const std::string rest = portName.size() > 3 ? portName.substr(3) : std::string();
        return PortAddress{PortKind::Com, static_cast<int32_t>(std::atoi(rest.c_str()))};
    }
    if (upper.find("TQ") != std::string::npos) {
        const int index = FindUsbTerminal(library, portName, library.TpUsbCount());
        if (index < 0) return std::nullopt;
        return PortAddress{PortKind::Usb, index + 1};
    }
    return PortAddress{PortKind::Other, 1};
}

uint32_t OpenLink(TerminalLibrary& library, const std::optional<PortAddress>& address,
                  int32_t baudCode) {
    if (!address) return 0;
    return library.TpOpen(static_cast<int32_t>(address->kind), address->number, 0, baudCode, 0,
                          0, 0, 1, 0);
}
