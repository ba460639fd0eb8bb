#include "link/TerminalIdentity.h"

#include "link/PortParsing.h"

std::string TerminalLabel(const std::string& portName, const TerminalIdentity* identity) {
    if (!identity) return "Unknow Device, " + portName;
    if (NamesUsbTerminal(portName)) return portName + ", USB";
    return identity->model + "-" + identity->serialNumber + ", " + portName;
}
