#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>

namespace emu {

bool WriteAll(int fd, const void* data, std::size_t size);
// Copies the rest of `from` to `to`; false on a read or a write error.
bool CopyAll(int from, int to);

// Writes `target` whole or not at all: the content goes to a temporary file in the same
// folder, is synced, then renamed over the target. `produce` writes to the descriptor and
// returns false to give up, which leaves the target as it was and no temporary file behind.
bool WriteAtomically(const std::filesystem::path& target, const std::function<bool(int)>& produce);

}  // namespace emu
