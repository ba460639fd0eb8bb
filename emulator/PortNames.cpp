#include "PortNames.h"

#include "Bench.h"
#include "Codes.h"
#include "Operations.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace emu {

int32_t CopyPortName(const std::vector<Terminal>& terminals, int32_t index, char* buffer,
                     const int32_t* size) {
    if (index < 0 || static_cast<std::size_t>(index) >= terminals.size()) return kBadParameter;
    if (buffer == nullptr || size == nullptr || *size < 1) return kBadParameter;
    const std::string name = terminals[static_cast<std::size_t>(index)].Port();
    const std::size_t length = std::min(name.size(), static_cast<std::size_t>(*size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return kOk;
}

}  // namespace emu

using namespace emu;

int32_t CommPortCount(void) {
    return static_cast<int32_t>(
        std::min<std::size_t>(BenchTerminals().size(), std::numeric_limits<int32_t>::max()));
}

int32_t CommPortNameLength(void) {
    return kPortNameLength;
}

int32_t CommPortName(int32_t index, char* buffer, int32_t* length) {
    return CopyPortName(BenchTerminals(), index, buffer, length);
}
