#include "BenchFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Record {
    std::string name, extension;
    int kind;
    std::string digits;  // year to second
    uint32_t size;
    int tail;  // bytes 30 and 31
};

Record Decode(const uint8_t* r) {
    auto text = [&](int from, int length) {
        const auto* begin = reinterpret_cast<const char*>(r + from);
        return std::string(begin, strnlen(begin, length));
    };
    return {text(0, 8),
            text(8, 3),
            r[11],
            std::string(reinterpret_cast<const char*>(r + 12), 14),
            static_cast<uint32_t>(r[26] | r[27] << 8 | r[28] << 16 | r[29] << 24),
            r[30] | r[31]};
}

void SetTime(const fs::path& path, int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW));
}

class ListDir : public LinkedTerminalTest {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        OpenTerminal("port=COM3\ndrives=C:2048 D:4096\nunformatted=D\n");
    }
};

TEST_F(ListDir, GivesOneRecordPerEntrySortedWithoutRegardToCase) {
    Write(bench_ / "t1/C/b.txt", "hello");
    Write(bench_ / "t1/C/A.DAT", std::string(70000, 'x'));
    Write(bench_ / "t1/C/Z", "");
    Write(bench_ / "t1/C/LONGNAME.X", "1");
    fs::create_directory(bench_ / "t1/C/DATA");
    SetTime(bench_ / "t1/C/b.txt", 2023, 4, 5, 6, 7, 8);
    SetTime(bench_ / "t1/C/DATA", 1999, 12, 31, 23, 59, 58);
    // Entries no terminal could hold are not listed.
    Write(bench_ / "t1/C/longfilename.txt", "x");
    Write(bench_ / "t1/C/.hidden", "x");
    fs::create_directory_symlink(outside_, bench_ / "t1/C/LINK");

    std::vector<uint8_t> buffer(7200 + 32, 0xAB);
    int32_t count = -1, size = 7200;
    EXPECT_CODE(0, tp.TpListDir(handle_, "C:\\", &count, buffer.data(), &size));
    ASSERT_EQ(5, count);
    EXPECT_EQ(7200, size);
    const std::vector<std::pair<std::string, std::string>> names = {
        {"A", "DAT"}, {"b", "txt"}, {"DATA", ""}, {"LONGNAME", "X"}, {"Z", ""}};
    for (int i = 0; i < count; ++i) {
        const Record r = Decode(buffer.data() + 32 * i);
        EXPECT_EQ(names[i].first, r.name) << i;
        EXPECT_EQ(names[i].second, r.extension) << i;
        EXPECT_EQ(r.name == "DATA" ? 1 : 2, r.kind) << i;
        EXPECT_EQ(0, r.tail) << i;
    }
    EXPECT_EQ(70000u, Decode(&buffer[0]).size);
    EXPECT_EQ("20230405060708", Decode(&buffer[32]).digits);
    EXPECT_EQ(5u, Decode(&buffer[32]).size);
    EXPECT_EQ("19991231235958", Decode(&buffer[64]).digits);
    EXPECT_EQ(0xAB, buffer[5 * 32]) << "written past the last record";
}

struct BufferCase {
    int32_t size;
    int written;
};

void PrintTo(const BufferCase& c, std::ostream* out) {
    *out << c.size << " bytes";
}

class LongListing : public ListDir, public ::testing::WithParamInterface<BufferCase> {};

TEST_P(LongListing, CountsEveryEntryButWritesOnlyWhatTheBufferHolds) {
    for (int i = 0; i < 300; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%03d.TXT", i);
        Write(bench_ / "t1/C/DATA" / name, "");
    }
    std::vector<uint8_t> buffer(9600 + 64, 0xCD);
    int32_t count = 0, size = GetParam().size;
    EXPECT_CODE(0, tp.TpListDir(handle_, "C:\\DATA", &count, buffer.data(), &size));
    EXPECT_EQ(300, count);
    EXPECT_EQ(GetParam().size, size);
    const int written = GetParam().written;
    EXPECT_EQ("F000", Decode(&buffer[0]).name);
    EXPECT_EQ(written - 1, std::stoi(Decode(&buffer[32 * (written - 1)]).name.substr(1)));
    for (std::size_t i = 32 * written; i < buffer.size(); ++i) ASSERT_EQ(0xCD, buffer[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Buffers, LongListing,
                         ::testing::Values(BufferCase{32, 1}, BufferCase{95, 2},
                                           BufferCase{7200, 225}, BufferCase{9600, 225}));

TEST_F(ListDir, RefusesAMissingOrTooSmallBufferWithoutWritingToIt) {
    Write(bench_ / "t1/C/A.TXT", "a");
    uint8_t buffer[40];
    std::memset(buffer, 0xEE, sizeof buffer);
    int32_t count = 7, size = 31;
    EXPECT_CODE(2807, tp.TpListDir(handle_, "C:\\", &count, buffer, &size));
    size = 32;
    EXPECT_CODE(2807, tp.TpListDir(handle_, "C:\\", &count, nullptr, &size));
    EXPECT_CODE(2807, tp.TpListDir(handle_, "C:\\", nullptr, buffer, &size));
    EXPECT_CODE(2807, tp.TpListDir(handle_, "C:\\", &count, buffer, nullptr));
    EXPECT_EQ(7, count);
    for (const uint8_t byte : buffer) ASSERT_EQ(0xEE, byte);
}

TEST_F(ListDir, AnUnformattedDriveCannotBeListed) {
    uint8_t buffer[64];
    int32_t count = 0, size = 64;
    EXPECT_CODE(2617, tp.TpListDir(handle_, "D:\\", &count, buffer, &size));
}

TEST_F(ListDir, AMissingDriveFolderOfANamedDriveIsAnEmptyDrive) {
    fs::remove_all(bench_ / "t1/C");
    uint8_t buffer[64];
    int32_t count = -1, size = 64;
    EXPECT_CODE(0, tp.TpListDir(handle_, "C:\\", &count, buffer, &size));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(fs::is_directory(bench_ / "t1/C"));
}

}  // namespace
