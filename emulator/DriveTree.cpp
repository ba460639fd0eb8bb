#include "DriveTree.h"

#include "Paths.h"

#include <sys/stat.h>
#include <algorithm>
#include <system_error>

namespace emu {

namespace {

std::optional<DriveEntry> Inspect(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) return std::nullopt;
    const bool folder = S_ISDIR(info.st_mode);
    return DriveEntry{path.filename().string(), path, folder,
                      folder ? 0 : static_cast<std::uint64_t>(info.st_size), info.st_mtime};
}

std::optional<DriveEntry> Find(const std::filesystem::path& folder, std::size_t level,
                               std::string_view name) {
    const std::vector<DriveEntry> entries = VisibleEntries(folder, level);
    // An exact match wins over one that differs in case only.
    for (const DriveEntry& entry : entries) {
        if (entry.name == name) return entry;
    }
    const std::string folded = FoldCase(name);
    for (const DriveEntry& entry : entries) {
        if (FoldCase(entry.name) == folded) return entry;
    }
    return std::nullopt;
}

void Measure(const std::filesystem::path& folder, std::size_t level, DriveUsage& usage) {
    for (const DriveEntry& entry : VisibleEntries(folder, level)) {
        if (entry.isFolder) {
            Measure(entry.path, level + 1, usage);
        } else {
            usage.bytes += entry.size;
            ++usage.files;
        }
    }
}

}  // namespace

std::vector<DriveEntry> VisibleEntries(const std::filesystem::path& folder, std::size_t level) {
    std::vector<DriveEntry> entries;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        if (!IsShortName(item.path().filename().string())) continue;
        std::optional<DriveEntry> entry = Inspect(item.path());
        if (!entry || (entry->isFolder && level >= kMaxFolderParts)) continue;
        entries.push_back(std::move(*entry));
    }
    std::sort(entries.begin(), entries.end(), [](const DriveEntry& a, const DriveEntry& b) {
        const std::string foldedA = FoldCase(a.name);
        const std::string foldedB = FoldCase(b.name);
        return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
    });
    return entries;
}

bool IsFolderFull(const std::filesystem::path& folder, std::size_t level) {
    return VisibleEntries(folder, level).size() >= kMaxFolderEntries;
}

Lookup Resolve(const std::filesystem::path& driveRoot, const std::vector<std::string>& parts) {
    Lookup lookup;
    lookup.parent = driveRoot;
    if (parts.empty()) {
        lookup.parentFound = true;
        lookup.entry = Inspect(driveRoot);
        return lookup;
    }
    for (std::size_t level = 0; level + 1 < parts.size(); ++level) {
        const std::optional<DriveEntry> folder = Find(lookup.parent, level, parts[level]);
        if (!folder || !folder->isFolder) return lookup;
        lookup.parent = folder->path;
    }
    lookup.parentFound = true;
    lookup.entry = Find(lookup.parent, parts.size() - 1, parts.back());
    return lookup;
}

DriveUsage MeasureDrive(const std::filesystem::path& driveRoot) {
    DriveUsage usage;
    Measure(driveRoot, 0, usage);
    return usage;
}

}  // namespace emu
