#include "link/TerminalIdentity.h"

#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"

#include <cstring>

namespace {

// A module may leave a buffer without its NUL; read at most the buffer's size.
std::string BufferText(const char* buffer) {
    return std::string(buffer, strnlen(buffer, kIdentityBufferSize));
}

}  // namespace

ResultCode ReadIdentity(uint32_t link, TerminalIdentity& identity) {
    char buffers[8][kIdentityBufferSize] = {};
    const ResultCode rc = Tp().TpGetInfo(link, buffers[0], buffers[1], buffers[2], buffers[3],
                                         buffers[4], buffers[5], buffers[6], buffers[7]);
    if (rc != kSuccess) return rc;
    identity.model = BufferText(buffers[0]);
    identity.firmware = BufferText(buffers[1]);
    identity.serialNumber = BufferText(buffers[2]);
    return rc;
}

std::string TerminalLabel(const std::string& portName, const TerminalIdentity* identity) {
    if (!identity) return "Unknow Device, " + portName;
    if (NamesUsbTerminal(portName)) return portName + ", USB";
    return identity->model + "-" + identity->serialNumber + ", " + portName;
}
