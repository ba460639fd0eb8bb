#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// What the first line of a firmware image, "TQFW <model> <version>\n", names.
struct FirmwareHeader {
    std::string model;
    std::string version;
};

// An image: the header line, any payload, then the CRC-32 of all that before it as four
// bytes little-endian. Gives 0 and the header, or 2649 for a bad header or checksum.
int32_t ParseFirmwareImage(std::span<const std::uint8_t> image, FirmwareHeader& header);
// As ParseFirmwareImage on a file's content; 2804 when it is no regular file or cannot be
// read.
int32_t ReadFirmwareImage(const std::filesystem::path& path, FirmwareHeader& header);

std::vector<std::uint8_t> BuildFirmwareImage(std::string_view model, std::string_view version,
                                             std::span<const std::uint8_t> payload);

}  // namespace emu
