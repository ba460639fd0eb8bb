#include "Session.h"

#include "Bench.h"
#include "Codes.h"
#include "DriveTree.h"
#include "Handles.h"
#include "UsageTracker.h"

#include <algorithm>

namespace emu {

int32_t BeginOperation(uint32_t handle, std::string_view operation,
                       std::optional<Terminal>& terminal) {
    const std::string* folder = Links().Find(handle);
    if (folder == nullptr) return kBadHandle;
    terminal = FindTerminal(*folder);
    if (!terminal) return kBadHandle;
    // A terminal switched off after the link was opened no longer answers.
    if (terminal->IsOffline()) return kTimeout;
    return terminal->InjectedFault(operation);
}

int32_t OpenDrive(const Terminal& terminal, const TerminalPath& path, bool allowUnformatted,
                  std::filesystem::path& root) {
    if (!terminal.HasDrive(path.drive)) return kInvalidDisk;
    if (!allowUnformatted && terminal.IsUnformatted(path.drive)) return kUnformatted;
    root = terminal.DriveFolder(path.drive);
    return root.empty() ? kFunctionFailed : kOk;
}

int32_t FreeKB(const Terminal& terminal, char drive, const std::filesystem::path& root) {
    if (terminal.IsUnformatted(drive)) return -1;
    const std::uint64_t used = KilobytesFor(CurrentUsage(root).bytes);
    const auto capacity = static_cast<std::uint64_t>(terminal.CapacityKB(drive));
    return static_cast<int32_t>(capacity - std::min(used, capacity));
}

std::uint64_t KilobytesFor(std::uint64_t bytes) {
    return (bytes + 1023) / 1024;
}

}  // namespace emu
