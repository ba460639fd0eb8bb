#pragma once

#include <QString>
#include <cstdint>
#include <string_view>
#include <string>
#include <vector>

inline constexpr int kEntrySize = 32;
inline constexpr int kListingEntries = 225;
inline constexpr int kListingBufferSize = kEntrySize * kListingEntries;  // 7200

enum class EntryKind : uint8_t { Folder = 1, File = 2 };

// One 32-byte record of a terminal folder listing.
struct DirectoryEntry {
    std::string name;       // up to 8 characters
    std::string extension;  // up to 3 characters
    uint8_t kind = 0;       // EntryKind, or anything a module sends
    std::string date;       // "YYYY/MM/DD hh:mm:ss"
    uint32_t size = 0;

    bool IsFolder() const { return kind == static_cast<uint8_t>(EntryKind::Folder); }
    bool IsFile() const { return kind == static_cast<uint8_t>(EntryKind::File); }
    // A file shows as name + "." + extension, so one without an extension ends in ".".
    std::string DisplayName() const { return name + "." + extension; }
    // An installed project is known by its information file, D:\<name>.INF.
    bool IsProjectInformationFile() const { return IsFile() && extension == "INF"; }
};

DirectoryEntry DecodeEntry(const uint8_t* record);

// A terminal's bytes as text: each byte stands for one character, NULs included.
QString TerminalText(std::string_view text);
// The same back: text from TerminalText gives exactly the bytes it came from, so a name with a
// byte of 0x80 or above reaches the terminal as the terminal listed it.
std::string TerminalBytes(const QString& text);
// `path` with only its ASCII letters upper-cased, as a terminal takes a path.
std::string UpperTerminalBytes(const QString& path);

// Decodes a listing buffer of `count` records as a module reported them. Whatever the count,
// no more entries are read than the 225 records the buffer holds.
void DecodeListing(const uint8_t* buffer, int32_t count, std::vector<DirectoryEntry>& entries);
