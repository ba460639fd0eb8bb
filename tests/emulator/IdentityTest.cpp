#include "BenchFixture.h"

#include "Crc32.h"
#include "Firmware.h"

#include <cstring>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Crc32, MatchesTheIeeeCheckValue) {
    EXPECT_EQ(0xCBF43926u, emu::Crc32::Of("123456789", 9));
    EXPECT_EQ(0u, emu::Crc32::Of("", 0));
}

TEST_F(BenchTest, IdentityTextsAreCutToTheirTwentyByteBuffers) {
    AddTerminal("t1",
                "port=COM3\nmodel=TQ-3100-A-VERY-LONG-MODEL\nfirmware=A00-1.10\n"
                "drives=C:2048\n");
    Write(bench_ / "t1/C/A.DAT", std::string(2000, 'x'));
    const uint32_t handle = OpenCom(3);
    char buffers[8][24];
    std::memset(buffers, 0x7F, sizeof buffers);
    EXPECT_CODE(0, tp.TpGetInfo(handle, buffers[0], buffers[1], buffers[2], buffers[3], buffers[4],
                                buffers[5], buffers[6], buffers[7]));
    EXPECT_STREQ("TQ-3100-A-VERY-LONG", buffers[0]);
    EXPECT_STREQ("A00-1.10", buffers[1]);
    EXPECT_STREQ("t1", buffers[2]);
    EXPECT_STREQ("COM3", buffers[5]);
    EXPECT_STREQ("2046", buffers[6]);
    for (const auto& buffer : buffers) EXPECT_EQ(0x7F, buffer[20]) << "written past 20 bytes";
    tp.TpClose(handle);
}

Bytes Image(const std::string& model, const std::string& version) {
    const Bytes payload = {0, 1, 2, 0xFF, '\n'};
    return emu::BuildFirmwareImage(model, version, payload);
}

Bytes WithHeader(const std::string& text) {
    Bytes image(text.begin(), text.end());
    const uint32_t crc = emu::Crc32::Of(image.data(), image.size());
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return image;
}

// The good image with one bit changed, counting from the end.
Bytes Damaged(std::size_t fromEnd) {
    Bytes image = Image("TQ-3100", "A00-1.20");
    image[image.size() - fromEnd] ^= 0x01;
    return image;
}

struct ImageCase {
    const char* name;
    std::optional<Bytes> image;  // none: no file
    int32_t code;
    const char* firmware;  // the terminal's firmware afterwards
    bool pipe = false;     // a named pipe with no writer instead of a file
};

void PrintTo(const ImageCase& c, std::ostream* out) {
    *out << c.name;
}

class Upgrade : public BenchTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(Upgrade, AcceptsOnlyASoundImageForTheTerminalsModel) {
    AddTerminal("t1", "port=COM3\nmodel=TQ-3100\nfirmware=A00-1.10 ; shipped\ndrives=C:2048\n");
    const fs::path path = base_ / "pc/IMAGE.BIN";
    if (const auto& image = GetParam().image)
        Write(path, std::string(image->begin(), image->end()));
    const uint32_t handle = OpenCom(3);
    const auto upgrade = [&] { return tp.TpUpgradeFirmware(handle, path.c_str(), 1); };
    EXPECT_CODE(GetParam().code, GetParam().pipe ? CallOnPipe(path, upgrade) : upgrade());
    tp.TpClose(handle);
    EXPECT_EQ(GetParam().firmware, IniValue("t1", "firmware").substr(0, 8));
    EXPECT_EQ("COM3", IniValue("t1", "port"));
    EXPECT_EQ("t1", IniValue("t1", "serial"));
}

INSTANTIATE_TEST_SUITE_P(
    Images, Upgrade,
    ::testing::Values(
        ImageCase{"good", Image("TQ-3100", "A00-1.20"), 0, "A00-1.20"},
        ImageCase{"model prefix", Image("TQ", "A00-2.00"), 0, "A00-2.00"},
        ImageCase{"no payload", WithHeader("TQFW TQ-3100 A00-1.30\n"), 0, "A00-1.30"},
        ImageCase{"other model", Image("TQ-2200", "A00-1.20"), 2654, "A00-1.10"},
        ImageCase{"longer model", Image("TQ-3100X", "A00-1.20"), 2654, "A00-1.10"},
        ImageCase{"bad magic", WithHeader("TQFX TQ-3100 A00-1.20\n"), 2649, "A00-1.10"},
        ImageCase{"no version", WithHeader("TQFW TQ-3100\n"), 2649, "A00-1.10"},
        ImageCase{"extra word", WithHeader("TQFW TQ-3100 A00 1.20\n"), 2649, "A00-1.10"},
        ImageCase{"no newline", WithHeader("TQFW TQ-3100 A00-1.20"), 2649, "A00-1.10"},
        ImageCase{"bad checksum", Damaged(1), 2649, "A00-1.10"},
        ImageCase{"payload changed", Damaged(6), 2649, "A00-1.10"},
        ImageCase{"too short", Bytes{'T', 'Q', 'F'}, 2649, "A00-1.10"},
        ImageCase{"missing file", std::nullopt, 2804, "A00-1.10"},
        ImageCase{"pipe", std::nullopt, 2804, "A00-1.10", true}));

}  // namespace
