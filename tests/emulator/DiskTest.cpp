#include "BenchFixture.h"

#include <fstream>
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

// What a change may do to the drive, once the module has counted it: C:\A.DAT holds 1000
// bytes, C:\DATA\B.DAT 2000 and C:\DATA\SUB\C.DAT 3000.
struct Scene {
    fs::path base, bench, drive;
    const Module& tp;
    uint32_t handle;
};

struct ChangeCase {
    const char* name;
    void (*change)(const Scene&);
    std::uint64_t bytes;  // the drive's files after the change
    int32_t files;
};

void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

void Append(const fs::path& path, std::size_t bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string(bytes, 'y');
}

class UsageAfterChange : public Disk, public ::testing::WithParamInterface<ChangeCase> {
protected:
    void ExpectUsage(std::uint64_t bytes, int32_t files) {
        int32_t capacity = 0, count = -1, free = -1;
        EXPECT_CODE(0, tp.TpDiskInfo(handle_, "C:", &capacity, &count, &free));
        EXPECT_EQ(files, count);
        EXPECT_EQ(2048 - static_cast<int32_t>((bytes + 1023) / 1024), free);
    }
};

// The count kept between calls follows every change, whoever makes it.
TEST_P(UsageAfterChange, FreeSpaceIsCountedAfresh) {
    const fs::path drive = bench_ / "t1/C";
    Write(drive / "A.DAT", std::string(1000, 'x'));
    Write(drive / "DATA/B.DAT", std::string(2000, 'x'));
    Write(drive / "DATA/SUB/C.DAT", std::string(3000, 'x'));
    fs::create_directories(base_ / "pc");
    ExpectUsage(6000, 3);
    GetParam().change({base_, bench_, drive, tp, handle_});
    ExpectUsage(GetParam().bytes, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UsageAfterChange,
    ::testing::Values(
        ChangeCase{"GrownInPlace", [](const Scene& s) { Append(s.drive / "DATA/SUB/C.DAT", 2000); },
                   8000, 3},
        ChangeCase{"Truncated", [](const Scene& s) { fs::resize_file(s.drive / "A.DAT", 0); }, 5000,
                   3},
        ChangeCase{
            "Added",
            [](const Scene& s) { Write(s.drive / "DATA/SUB/D.DAT", std::string(1500, 'x')); }, 7500,
            4},
        ChangeCase{"Removed", [](const Scene& s) { fs::remove(s.drive / "DATA/B.DAT"); }, 4000, 2},
        ChangeCase{"FolderRenamedThenFilled",
                   [](const Scene& s) {
                       fs::rename(s.drive / "DATA", s.drive / "OTHER");
                       Write(s.drive / "OTHER/SUB/E.DAT", std::string(1000, 'x'));
                   },
                   7000, 4},
        ChangeCase{"FolderReplaced",
                   [](const Scene& s) {
                       fs::remove_all(s.drive / "DATA");
                       Write(s.drive / "DATA/X.DAT", std::string(10, 'x'));
                   },
                   1010, 2},
        ChangeCase{
            "FolderNamedBeyondTheTerminal",
            [](const Scene& s) { fs::rename(s.drive / "DATA/SUB", s.drive / "DATA/SUBFOLDER1"); },
            3000, 2},
        ChangeCase{
            "FileBelowTheDeepestFolder",
            [](const Scene& s) { Write(s.drive / "DATA/SUB/DEEP/F.DAT", std::string(5000, 'x')); },
            6000, 3},
        ChangeCase{"ReplacedByLink",
                   [](const Scene& s) {
                       fs::remove(s.drive / "A.DAT");
                       fs::create_symlink(s.base / "outside/SECRET.TXT", s.drive / "A.DAT");
                   },
                   5000, 2},
        // Its folder hears nothing of a write through another name.
        ChangeCase{"WrittenThroughAHardLink",
                   [](const Scene& s) {
                       fs::create_hard_link(s.drive / "A.DAT", s.base / "pc/LINK");
                       Append(s.base / "pc/LINK", 500);
                   },
                   6500, 3},
        ChangeCase{"DriveFolderReplaced",
                   [](const Scene& s) {
                       fs::remove_all(s.drive);
                       Write(s.drive / "Z.DAT", std::string(100, 'x'));
                   },
                   100, 1},
        ChangeCase{"TerminalFolderReplaced",
                   [](const Scene& s) {
                       fs::rename(s.bench / "t1", s.bench / "old");
                       Write(s.bench / "t1/terminal.ini", Read(s.bench / "old/terminal.ini"));
                       Write(s.drive / "Q.DAT", std::string(700, 'x'));
                   },
                   700, 1},
        ChangeCase{"PutAndDeleteOfTheModule",
                   [](const Scene& s) {
                       Write(s.base / "pc/NEW.DAT", std::string(4000, 'x'));
                       const fs::path source = s.base / "pc/NEW.DAT";
                       EXPECT_CODE(0,
                                   s.tp.TpPutFile(s.handle, source.c_str(), "C:\\NEW.DAT", 1, 1));
                       EXPECT_CODE(0, s.tp.TpDeleteFile(s.handle, "C:\\A.DAT"));
                   },
                   9000, 3},
        ChangeCase{"FormatOfTheModule",
                   [](const Scene& s) { EXPECT_CODE(0, s.tp.TpFormatDisk(s.handle, "C:")); }, 0,
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

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
