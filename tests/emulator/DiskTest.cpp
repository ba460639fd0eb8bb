#include "BenchFixture.h"

#include <vector>

namespace fs = std::filesystem;

namespace {

class Disk : public LinkedTerminalTest {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        OpenTerminal(
            "; bench terminal\nport=COM3\nmodel=TQ-3100\ndrives=C:2048 D:4096\n"
            "unformatted=D\nnote=kept\n");
    }
};

class UsedSpace : public Disk, public ::testing::WithParamInterface<std::vector<std::size_t>> {};

// The drive's bytes are added up before rounding to kilobytes, as one count.
TEST_P(UsedSpace, FreeSpaceIsTheCapacityLessTheFilesRoundedUp) {
    std::size_t total = 0;
    int i = 0;
    for (const std::size_t size : GetParam()) {
        const std::string name = "F" + std::to_string(i) + ".DAT";
        Write(bench_ / "t1/C" / (i++ % 2 ? "DATA" : "") / name, std::string(size, 'x'));
        total += size;
    }
    int32_t capacity = 0, files = -1, free = 0;
    EXPECT_CODE(0, tp.TpDiskInfo(handle_, "c:\\", &capacity, &files, &free));
    EXPECT_EQ(2048, capacity);
    EXPECT_EQ(static_cast<int32_t>(GetParam().size()), files);
    EXPECT_EQ(2048 - static_cast<int32_t>((total + 1023) / 1024), free);
}

INSTANTIATE_TEST_SUITE_P(Files, UsedSpace,
                         ::testing::Values(std::vector<std::size_t>{}, std::vector<std::size_t>{1},
                                           std::vector<std::size_t>{1024},
                                           std::vector<std::size_t>{1024, 1},
                                           std::vector<std::size_t>{512, 512, 0}));

TEST_F(Disk, DiskInfoRefusesBadRequests) {
    int32_t value = 0;
    EXPECT_CODE(2621, tp.TpDiskInfo(handle_, "C:\\DATA", &value, &value, &value));
    EXPECT_CODE(2616, tp.TpDiskInfo(handle_, "E:", &value, &value, &value));
    EXPECT_CODE(2807, tp.TpDiskInfo(handle_, "C:", nullptr, &value, &value));
    EXPECT_CODE(2807, tp.TpDiskInfo(handle_, "C:", &value, &value, nullptr));
    EXPECT_CODE(2616, tp.TpFormatDisk(handle_, "E:\\"));
    EXPECT_CODE(2621, tp.TpFormatDisk(handle_, "C:\\DATA"));
}

TEST_F(Disk, AnUnformattedDriveIsUnusableUntilFormatted) {
    Write(bench_ / "t1/D/OLD.DAT", "old");
    Write(base_ / "pc/A.TXT", "a");
    int32_t capacity = 0, files = 0, free = 0;
    EXPECT_CODE(0, tp.TpDiskInfo(handle_, "D:", &capacity, &files, &free));
    EXPECT_EQ(4096, capacity);
    EXPECT_EQ(-1, free);
    EXPECT_CODE(2617, tp.TpMakeDir(handle_, "D:\\NEW"));
    EXPECT_CODE(2617, tp.TpPutFile(handle_, (base_ / "pc/A.TXT").c_str(), "D:\\A.TXT", 1, 1));
    EXPECT_CODE(2617, tp.TpDeleteFile(handle_, "D:\\OLD.DAT"));

    EXPECT_CODE(0, tp.TpFormatDisk(handle_, "D:\\"));
    EXPECT_TRUE(fs::is_empty(bench_ / "t1/D"));
    EXPECT_EQ("", IniValue("t1", "unformatted"));
    EXPECT_EQ("kept", IniValue("t1", "note"));
    EXPECT_NE(std::string::npos, Read(bench_ / "t1/terminal.ini").find("\n; bench terminal\n"));
    EXPECT_CODE(0, tp.TpDiskInfo(handle_, "D:", &capacity, &files, &free));
    EXPECT_EQ(4096, free);
    EXPECT_CODE(0, tp.TpMakeDir(handle_, "D:\\NEW"));
}

TEST_F(Disk, FormatEmptiesTheDriveWithoutFollowingLinksOut) {
    Write(bench_ / "t1/C/DATA/A.DAT", "a");
    Write(bench_ / "t1/C/longname.text", "a");
    fs::create_directory_symlink(outside_ / "C", bench_ / "t1/C/LINK");
    EXPECT_CODE(0, tp.TpFormatDisk(handle_, "C:"));
    EXPECT_TRUE(fs::is_empty(bench_ / "t1/C"));
    EXPECT_EQ("D", IniValue("t1", "unformatted"));
}

}  // namespace
