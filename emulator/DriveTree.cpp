#include "DriveTree.h"

#include "FileIo.h"
#include "Paths.h"

#include <dirent.h>
#include <fcntl.h>
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

// Calls `visit` with each name in the folder and the kind its listing gives, DT_UNKNOWN
// when the file system gives none. A folder that became a symbolic link shows nothing.
template <typename Visit>
void ForEachName(const std::filesystem::path& folder, Visit visit) {
    const FileDescriptor listing(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (listing.Get() < 0) return;
    // Read straight from the kernel: a directory stream would cost three calls more a listing.
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t got = ::getdents64(listing.Get(), buffer, sizeof buffer);
        if (got <= 0) return;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            visit(std::string_view(entry->d_name), entry->d_type);
            at += entry->d_reclen;
        }
    }
}

bool SameFolded(std::string_view a, std::string_view b) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return upper(x) == upper(y); });
}

bool IsVisible(const std::optional<DriveEntry>& entry, std::size_t level) {
    return entry && !(entry->isFolder && level >= kMaxFolderParts);
}

// Whether the folder may ignore case (vfat, a case-folding ext4 folder): then a name found
// as asked may be spelled otherwise on disk.
bool MayIgnoreCase(const std::filesystem::path& folder, std::string_view name) {
    std::string swapped(name);
    for (char& c : swapped) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    struct stat info {};
    return swapped != name && ::lstat((folder / swapped).c_str(), &info) == 0;
}

// Whether a listed name is an entry the terminal sees, by the kind the listing gave.
bool CountsAsVisible(const std::filesystem::path& folder, std::size_t level, std::string_view name,
                     unsigned char kind) {
    if (!IsShortName(name)) return false;
    if (kind == DT_UNKNOWN) return IsVisible(Inspect(folder / name), level);
    return kind == DT_REG || (kind == DT_DIR && level < kMaxFolderParts);
}

// `visible`, when given, receives the folder's visible entries if a listing was needed.
std::optional<DriveEntry> Find(const std::filesystem::path& folder, std::size_t level,
                               std::string_view name,
                               std::optional<std::size_t>* visible = nullptr) {
    // The entry of exactly that name wins, so it needs no listing.
    std::optional<DriveEntry> exact = Inspect(folder / name);
    if (IsVisible(exact, level) && !MayIgnoreCase(folder, name)) return exact;
    // Otherwise only the names that match are looked at: one listing, not one lstat an entry.
    std::vector<std::string> matches;
    std::size_t count = 0;
    ForEachName(folder, [&](std::string_view entry, unsigned char kind) {
        if (visible != nullptr && CountsAsVisible(folder, level, entry, kind)) ++count;
        if (SameFolded(entry, name) && IsShortName(entry)) matches.emplace_back(entry);
    });
    if (visible != nullptr) *visible = count;
    // An exact match wins over one that differs in case only, then the names in order.
    std::sort(matches.begin(), matches.end(), [&](const std::string& a, const std::string& b) {
        return (a == name) != (b == name) ? a == name : a < b;
    });
    for (const std::string& match : matches) {
        std::optional<DriveEntry> entry = Inspect(folder / match);
        if (IsVisible(entry, level)) return entry;
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

bool IsFolderFull(const Lookup& lookup, std::size_t level) {
    std::size_t visible = 0;
    if (lookup.visibleInParent) {
        visible = *lookup.visibleInParent;
    } else {
        ForEachName(lookup.parent, [&](std::string_view name, unsigned char kind) {
            if (CountsAsVisible(lookup.parent, level, name, kind)) ++visible;
        });
    }
    return visible >= kMaxFolderEntries;
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
    lookup.entry = Find(lookup.parent, parts.size() - 1, parts.back(), &lookup.visibleInParent);
    return lookup;
}

DriveUsage MeasureDrive(const std::filesystem::path& driveRoot) {
    DriveUsage usage;
    Measure(driveRoot, 0, usage);
    return usage;
}

}  // namespace emu
