#pragma once

#include "DriveTree.h"
#include "Paths.h"
#include "Terminal.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace emu {

// The checks every operation on a link makes before it does anything: the handle is open
// (2802), its terminal is still on the bench (2802) and answers (2509), and fail= injects
// no code for `operation`. On 0, `terminal` is the link's terminal as it is now.
int32_t BeginOperation(uint32_t handle, std::string_view operation,
                       std::optional<Terminal>& terminal);

// What an operation on a file, a folder or a drive works on. BeginOperation fills
// `terminal`; the operation's own argument checks come next, and only then is the path
// parsed and looked up, so the codes win in that order.
struct LocatedEntry {
    std::optional<Terminal> terminal;
    TerminalPath path;
    std::filesystem::path root;
    Lookup lookup;  // left empty for a whole drive
};

// The folder of the path's drive: 2616 for a drive the terminal lacks, 2617 for an
// unformatted one unless that is allowed, 2801 when its folder cannot be used.
int32_t OpenDrive(const Terminal& terminal, const TerminalPath& path, bool allowUnformatted,
                  std::filesystem::path& root);

// Free space as the terminal reports it: -1 when unformatted, never below 0 otherwise.
int32_t FreeKB(const Terminal& terminal, char drive, const std::filesystem::path& root);
// Kilobytes that so many bytes take, rounded up.
std::uint64_t KilobytesFor(std::uint64_t bytes);

}  // namespace emu
