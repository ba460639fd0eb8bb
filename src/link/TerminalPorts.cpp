#include "link/TerminalPorts.h"

#include "link/ModuleLimits.h"
#include "link/TerminalLibrary.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kNameBufferSize = 100;

}  // namespace

std::vector<std::string> ModulePortNames(TerminalLibrary& library, Prompter* prompter) {
    std::vector<std::string> names;
    std::vector<char> buffer(kNameBufferSize);
    const uint32_t count = BoundedCount(library.CommPortCount(), prompter);
    int32_t length = BoundedNameLength(library.CommPortNameLength());
    if (length > kNameBufferSize) buffer.assign(static_cast<size_t>(length), '\0');
    for (uint32_t index = 0; index < count; ++index) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        // `length` keeps what the module wrote back, for the next call, but never more than the
        // buffer holds.
        length = std::clamp(length, 0, static_cast<int32_t>(buffer.size()));
        library.CommPortName(static_cast<int32_t>(index), buffer.data(), &length);
        // A module that fills the whole buffer leaves no NUL; never read past it.
        names.emplace_back(buffer.data(), strnlen(buffer.data(), buffer.size()));
    }
    return names;
}
