#pragma once

#include <cstdint>
#include <string_view>

namespace emu {

// Both modules promise names of at most this many characters.
inline constexpr int32_t kPortNameLength = 32;

// Copies a port name into a caller's buffer of *size bytes, cut to fit and NUL-terminated;
// 2807 when there is no buffer or no room even for the NUL.
int32_t CopyPortName(std::string_view name, char* buffer, const int32_t* size);

}  // namespace emu
