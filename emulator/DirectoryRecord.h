#pragma once

#include "DriveTree.h"

#include <cstddef>
#include <cstdint>

namespace emu {

// A listing is an array of 32-byte records; the program's buffer holds a full folder's.
inline constexpr std::size_t kRecordSize = 32;
inline constexpr std::size_t kMaxRecords = kMaxFolderEntries;

inline constexpr std::uint8_t kRecordFolder = 1;
inline constexpr std::uint8_t kRecordFile = 2;

// Writes exactly kRecordSize bytes: name and extension NUL-padded, the kind, the local
// modification time as ASCII digits, the size little-endian and two zero bytes.
void EncodeRecord(const DriveEntry& entry, std::uint8_t* out);

}  // namespace emu
