#include "DirectoryRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace emu {

namespace {

void PutDigits(std::uint8_t* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<std::uint8_t>('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

void EncodeRecord(const DriveEntry& entry, std::uint8_t* out) {
    std::memset(out, 0, kRecordSize);
    const auto dot = entry.name.find('.');
    const std::string base = entry.name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : entry.name.substr(dot + 1);
    std::memcpy(out, base.data(), std::min<std::size_t>(base.size(), 8));
    std::memcpy(out + 8, extension.data(), std::min<std::size_t>(extension.size(), 3));
    out[11] = entry.isFolder ? kRecordFolder : kRecordFile;

    std::tm local{};
    const std::time_t modified = entry.modified;
    ::localtime_r(&modified, &local);
    PutDigits(out + 12, std::clamp(local.tm_year + 1900, 0, 9999), 4);
    PutDigits(out + 16, local.tm_mon + 1, 2);
    PutDigits(out + 18, local.tm_mday, 2);
    PutDigits(out + 20, local.tm_hour, 2);
    PutDigits(out + 22, local.tm_min, 2);
    PutDigits(out + 24, local.tm_sec, 2);

    const auto size = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(entry.size, std::numeric_limits<std::uint32_t>::max()));
    for (int i = 0; i < 4; ++i) out[26 + i] = static_cast<std::uint8_t>(size >> (8 * i));
}

}  // namespace emu
