#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace emu {

namespace detail {

constexpr std::array<std::uint32_t, 256> MakeCrc32Table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

inline constexpr std::array<std::uint32_t, 256> kCrc32Table = MakeCrc32Table();

}  // namespace detail

// CRC-32 with the IEEE polynomial, reflected, as zlib computes it; firmware images carry it.
class Crc32 {
public:
    void Update(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            state_ = detail::kCrc32Table[(state_ ^ bytes[i]) & 0xFFu] ^ (state_ >> 8);
        }
    }
    std::uint32_t Value() const { return state_ ^ 0xFFFFFFFFu; }

    static std::uint32_t Of(const void* data, std::size_t size) {
        Crc32 crc;
        crc.Update(data, size);
        return crc.Value();
    }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace emu
