#include "BenchFixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace fs = std::filesystem;

namespace {

class DemoBench : public BenchTest {
protected:
    int LayOut() {
        const std::string command = std::string(DEMO_BENCH_TOOL) + " '" + bench_.string() + "' '" +
                                    (base_ / "docs").string() + "'";
        return std::system(command.c_str());
    }
    std::vector<std::string> List(uint32_t handle, const char* folder) {
        uint8_t buffer[7200];
        int32_t count = 0, size = 7200;
        std::vector<std::string> names;
        if (tp.TpListDir(handle, folder, &count, buffer, &size) != 0) return {"<failed>"};
        for (int i = 0; i < count; ++i)
            names.emplace_back(reinterpret_cast<char*>(buffer + 32 * i));
        return names;
    }
};

TEST_F(DemoBench, LaysOutItsTerminalsAndImagesAndKeepsEverythingElse) {
    AddTerminal("mine", "port=COM9\ndrives=C:64\n");
    Write(bench_ / "demo-com3/C/STALE.TXT", "from an earlier run");
    Write(base_ / "docs/Tarvik/KEEP.TXT", "mine");
    ASSERT_EQ(0, LayOut());
    ASSERT_EQ(0, LayOut()) << "laying out again must work as well";

    EXPECT_EQ(5, tp.CommPortCount());
    EXPECT_EQ("mine", Read(base_ / "docs/Tarvik/KEEP.TXT"));
    EXPECT_TRUE(fs::exists(bench_ / "mine/terminal.ini"));
    EXPECT_FALSE(fs::exists(bench_ / "demo-com3/C/STALE.TXT"));

    ASSERT_EQ(1u, tp.TpUsbCount());
    char usb[33] = {};
    int32_t size = 33;
    tp.TpUsbName(0, usb, &size);
    EXPECT_NE(nullptr, std::strstr(usb, "TQ-"));
    const uint32_t viaUsb = tp.TpOpen(2, 1, 0, 6, 0, 0, 0, 1, 0);
    EXPECT_EQ((std::vector<std::string>{"FONTS", "LOOKUP", "PROGRAM"}), List(viaUsb, "D:\\"));
    tp.TpClose(viaUsb);

    const uint32_t com3 = OpenCom(3), com4 = OpenCom(4);
    EXPECT_EQ((std::vector<std::string>{"DATA", "README"}), List(com3, "C:\\"));
    EXPECT_EQ((std::vector<std::string>{"STOCK"}), List(com3, "C:\\DATA"));
    EXPECT_EQ((std::vector<std::string>{"<failed>"}), List(com4, "E:\\"));

    const fs::path firmware = base_ / "docs/Tarvik/firmware";
    std::vector<fs::path> images;
    for (const auto& entry : fs::directory_iterator(firmware)) images.push_back(entry.path());
    std::sort(images.begin(), images.end());
    ASSERT_EQ(2u, images.size());
    EXPECT_CODE(2654, tp.TpUpgradeFirmware(com4, images[0].c_str(), 1));
    EXPECT_CODE(2649, tp.TpUpgradeFirmware(com3, images[1].c_str(), 1));
    EXPECT_CODE(0, tp.TpUpgradeFirmware(com3, images[0].c_str(), 1));
    EXPECT_EQ("A00-1.20", IniValue("demo-com3", "firmware"));
    EXPECT_EQ("A00-0.90", IniValue("demo-com4", "firmware"));
    tp.TpClose(com3);
    tp.TpClose(com4);
}

}  // namespace
