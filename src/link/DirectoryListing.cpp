#include "link/DirectoryListing.h"

#include <algorithm>
#include <cstring>

namespace {

// A text field of a record: up to its width, or to the first NUL.
std::string Field(const uint8_t* bytes, size_t width) {
    const auto* text = reinterpret_cast<const char*>(bytes);
    return std::string(text, strnlen(text, width));
}

}  // namespace

DirectoryEntry DecodeEntry(const uint8_t* record) {
    DirectoryEntry entry;
    entry.name = Field(record, 8);
    entry.extension = Field(record + 8, 3);
    entry.kind = record[11];
    const auto digits = [record](int offset, int count) {
        return std::string(reinterpret_cast<const char*>(record + offset), count);
    };
    entry.date = digits(12, 4) + "/" + digits(16, 2) + "/" + digits(18, 2) + " " +
                 digits(20, 2) + ":" + digits(22, 2) + ":" + digits(24, 2);
    entry.size = static_cast<uint32_t>(record[26]) | static_cast<uint32_t>(record[27]) << 8 |
                 static_cast<uint32_t>(record[28]) << 16 | static_cast<uint32_t>(record[29]) << 24;
    return entry;
}

void DecodeListing(const uint8_t* buffer, int32_t count, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    const int valid = std::clamp<int32_t>(count, 0, kListingEntries);
    entries.reserve(static_cast<size_t>(valid));
    for (int i = 0; i < valid; ++i) entries.push_back(DecodeEntry(buffer + i * kEntrySize));
}

QString TerminalText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string TerminalBytes(const QString& text) { return text.toLatin1().toStdString(); }

std::string UpperTerminalBytes(const QString& path) {
    std::string bytes = TerminalBytes(path);
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return bytes;
}
