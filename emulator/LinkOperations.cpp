#include "Bench.h"
#include "Codes.h"
#include "Handles.h"
#include "Operations.h"
#include "Paths.h"
#include "PortNames.h"

#include <algorithm>
#include <limits>

using namespace emu;

namespace {

constexpr int32_t kComPort = 1;
constexpr int32_t kUsbPort = 2;
constexpr int32_t kOtherPort = 4;

std::optional<Terminal> FindByPort(int32_t kind, int32_t number) {
    if (kind == kComPort) {
        const std::string wanted = "COM" + std::to_string(number);
        return FirstTerminal(
            [&](const Terminal& terminal) { return FoldCase(terminal.Port()) == wanted; });
    } else if (kind == kUsbPort) {
        std::vector<Terminal> usb = UsbTerminals();
        if (number >= 1 && static_cast<std::size_t>(number) <= usb.size()) {
            return std::move(usb[static_cast<std::size_t>(number) - 1]);
        }
    } else if (kind == kOtherPort) {
        std::vector<Terminal> terminals = BenchTerminals();
        std::stable_sort(terminals.begin(), terminals.end(),
                         [](const Terminal& a, const Terminal& b) { return a.Port() < b.Port(); });
        for (Terminal& terminal : terminals) {
            const std::string port = terminal.Port();
            if (!port.empty() && FoldCase(port).find("COM") == std::string::npos &&
                !terminal.IsUsb()) {
                return std::move(terminal);
            }
        }
    }
    return std::nullopt;
}

}  // namespace

uint32_t TpOpen(int32_t kind, int32_t number, int32_t, int32_t baudCode, int32_t, int32_t, int32_t,
                int32_t, int32_t) {
    const std::optional<Terminal> terminal = FindByPort(kind, number);
    if (!terminal || terminal->Port().empty() || terminal->IsOffline() ||
        !terminal->AnswersAtBaud(baudCode) || terminal->InjectedFault("TpOpen") != 0) {
        return 0;
    }
    return Links().Add(terminal->Name());
}

int32_t TpClose(uint32_t handle) {
    if (handle == 0) return kOk;
    const std::string* folder = Links().Find(handle);
    if (folder == nullptr) return kBadHandle;
    const std::optional<Terminal> terminal = FindTerminal(*folder);
    // The link is gone whatever the terminal answers: nobody closes a link twice.
    Links().Remove(handle);
    return terminal ? terminal->InjectedFault("TpClose") : kOk;
}

uint32_t TpUsbCount(void) {
    return static_cast<uint32_t>(
        std::min<std::size_t>(UsbTerminals().size(), std::numeric_limits<uint32_t>::max()));
}

int32_t TpUsbNameLength(void) {
    return kPortNameLength;
}

int32_t TpUsbName(int32_t index, char* buffer, int32_t* size) {
    return CopyPortName(UsbTerminals(), index, buffer, size);
}

int32_t TpSetMode(int32_t) {
    return kOk;
}
