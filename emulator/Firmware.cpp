#include "Firmware.h"

#include "Codes.h"
#include "Crc32.h"
#include "FileIo.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace emu {

namespace {

constexpr std::string_view kMagic = "TQFW ";
constexpr std::size_t kMaxHeaderLine = 128;
// Far above any real image; a larger file is not taken for one.
constexpr off_t kMaxImageSize = 64 * 1024 * 1024;

bool IsWord(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c <= ' ' || c >= 0x7F) return false;
    }
    return true;
}

}  // namespace

int32_t ParseFirmwareImage(std::span<const std::uint8_t> image, FirmwareHeader& header) {
    if (image.size() < kMagic.size() + 4) return kBadFirmware;
    const std::span<const std::uint8_t> body = image.first(image.size() - 4);
    const std::string_view text(reinterpret_cast<const char*>(body.data()),
                                std::min(body.size(), kMaxHeaderLine));
    const auto newline = text.find('\n');
    if (newline == std::string_view::npos || !text.starts_with(kMagic)) return kBadFirmware;
    const std::string_view words = text.substr(kMagic.size(), newline - kMagic.size());
    const auto blank = words.find(' ');
    if (blank == std::string_view::npos) return kBadFirmware;
    const std::string_view model = words.substr(0, blank);
    const std::string_view version = words.substr(blank + 1);
    if (!IsWord(model) || !IsWord(version)) return kBadFirmware;

    const std::uint8_t* tail = image.data() + body.size();
    const std::uint32_t stored =
        static_cast<std::uint32_t>(tail[0]) | static_cast<std::uint32_t>(tail[1]) << 8 |
        static_cast<std::uint32_t>(tail[2]) << 16 | static_cast<std::uint32_t>(tail[3]) << 24;
    if (stored != Crc32::Of(body.data(), body.size())) return kBadFirmware;
    header = FirmwareHeader{std::string(model), std::string(version)};
    return kOk;
}

int32_t ReadFirmwareImage(const std::filesystem::path& path, FirmwareHeader& header) {
    const FileDescriptor file = OpenRegularFile(path, true);
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) return kPcFileFailed;
    if (info.st_size > kMaxImageSize) return kBadFirmware;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < image.size()) {
        const ssize_t got = ::read(file.Get(), image.data() + done, image.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    if (done != image.size()) return kPcFileFailed;
    return ParseFirmwareImage(image, header);
}

std::vector<std::uint8_t> BuildFirmwareImage(std::string_view model, std::string_view version,
                                             std::span<const std::uint8_t> payload) {
    const std::string line =
        std::string(kMagic) + std::string(model) + " " + std::string(version) + "\n";
    std::vector<std::uint8_t> image(line.begin(), line.end());
    image.insert(image.end(), payload.begin(), payload.end());
    const std::uint32_t crc = Crc32::Of(image.data(), image.size());
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    return image;
}

}  // namespace emu
