#pragma once

#include "Terminal.h"

#include <cstdint>
#include <vector>

namespace emu {

// Both modules promise names of at most this many characters.
inline constexpr int32_t kPortNameLength = 32;

// Copies the port of terminals[index] into a caller's buffer of *size bytes, cut to fit and
// NUL-terminated; 2807 for an index out of range, no buffer or no room even for the NUL.
int32_t CopyPortName(const std::vector<Terminal>& terminals, int32_t index, char* buffer,
                     const int32_t* size);

}  // namespace emu
