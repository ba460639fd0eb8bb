#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// An entry of a terminal drive as the terminal sees it.
struct DriveEntry {
    std::string name;  // the real name, case kept
    std::filesystem::path path;
    bool isFolder = false;
    std::uint64_t size = 0;
    std::time_t modified = 0;
};

// The entries of a drive folder `level` components below the drive's root that a terminal
// could hold: 8.3 names of regular files, and of folders while deeper folders are allowed.
// Symbolic links, other kinds of entry and other names are not there for the terminal, so
// nothing outside the bench is ever reached through it. Ordered by name without regard to
// case.
std::vector<DriveEntry> VisibleEntries(const std::filesystem::path& folder, std::size_t level);

// A terminal path's components looked up one by one, without regard to case.
struct Lookup {
    bool parentFound = false;  // every component but the last is a visible folder
    std::filesystem::path parent;
    std::optional<DriveEntry> entry;  // the last component, when it exists; the root for none
    // The parent's visible entries, when looking for the last component listed it.
    std::optional<std::size_t> visibleInParent;
};
Lookup Resolve(const std::filesystem::path& driveRoot, const std::vector<std::string>& parts);

// A folder, a drive's root included, holds no more entries than one listing takes.
inline constexpr std::size_t kMaxFolderEntries = 225;
// Whether a new entry would not fit in the lookup's parent, `level` components below the
// drive's root; one made on the PC may hold more.
bool IsFolderFull(const Lookup& lookup, std::size_t level);

struct DriveUsage {
    std::uint64_t bytes = 0;
    int32_t files = 0;
};
DriveUsage MeasureDrive(const std::filesystem::path& driveRoot);

}  // namespace emu
