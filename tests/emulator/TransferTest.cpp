#include "BenchFixture.h"
#include "Terminal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace fs = std::filesystem;

namespace {

class Transfer : public LinkedTerminalTest {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        Write(bench_ / "t1/C/DATA/stock.dat", std::string("a\0b\r\n", 5));
        Write(bench_ / "t1/C/DATA/OTHER.DAT", "other");
        fs::create_directories(base_ / "pc");
        OpenTerminal("port=COM3\ndrives=C:4 D:4096\n");
    }
    int32_t Put(const std::string& content, const char* path, int32_t overwrite) {
        Write(base_ / "pc/SOURCE", content);
        return tp.TpPutFile(handle_, (base_ / "pc/SOURCE").c_str(), path, overwrite, 1);
    }
};

TEST_F(Transfer, GetCopiesTheFileWholeOverAnExistingPcFile) {
    Write(base_ / "pc/OUT.DAT", "old content that is longer");
    EXPECT_CODE(0, tp.TpGetFile(handle_, "C:\\DATA\\STOCK.DAT", (base_ / "pc/OUT.DAT").c_str(), 1));
    EXPECT_EQ(std::string("a\0b\r\n", 5), Read(base_ / "pc/OUT.DAT"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(base_ / "pc"), fs::directory_iterator()));
}

// Of names that differ in case only, the exact one wins, then the first in byte order; an
// entry the terminal cannot see is passed over.
TEST_F(Transfer, GetFindsTheExactNameFirst) {
    Write(bench_ / "t1/C/DATA/Twin.dat", "mixed");
    Write(bench_ / "t1/C/DATA/TWIN.DAT", "upper");
    Write(bench_ / "t1/C/DATA/link.dat", "real");
    fs::create_symlink(outside_ / "SECRET.TXT", bench_ / "t1/C/DATA/LINK.DAT");
    const std::pair<const char*, const char*> cases[] = {{"C:\\DATA\\TWIN.DAT", "upper"},
                                                         {"C:\\DATA\\Twin.dat", "mixed"},
                                                         {"C:\\DATA\\twin.DAT", "upper"},
                                                         {"C:\\DATA\\LINK.DAT", "real"}};
    for (const auto& [path, content] : cases) {
        EXPECT_CODE(0, tp.TpGetFile(handle_, path, (base_ / "pc/OUT.DAT").c_str(), 1));
        EXPECT_EQ(content, Read(base_ / "pc/OUT.DAT")) << path;
    }
}

class UnwritablePcPath : public Transfer, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnwritablePcPath, LeavesNoFileBehind) {
    fs::create_directories(base_ / "pc/FOLDER");
    const std::string target = GetParam()[0] == '\0' ? "" : (base_ / GetParam()).string();
    const int32_t code = CallOnPipe(base_ / "pc/PIPE", [&] {
        return tp.TpGetFile(handle_, "C:\\DATA\\STOCK.DAT", target.c_str(), 1);
    });
    EXPECT_CODE(2804, code);
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(base_ / "pc")) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::string>{"FOLDER", "PIPE"}), left);
    EXPECT_TRUE(fs::is_fifo(base_ / "pc/PIPE")) << "the pipe was replaced";
}

INSTANTIATE_TEST_SUITE_P(Targets, UnwritablePcPath,
                         ::testing::Values("pc/MISSING/OUT.DAT", "pc/FOLDER", "pc/FOLDER/", "",
                                           "pc/PIPE"));

TEST_F(Transfer, PutOverAnExistingFileNeedsTheOverwriteFlag) {
    EXPECT_CODE(2625, Put("new", "C:\\DATA\\STOCK.DAT", 0));
    EXPECT_EQ(5u, fs::file_size(bench_ / "t1/C/DATA/stock.dat"));
    EXPECT_CODE(0, Put("new", "C:\\DATA\\STOCK.DAT", 1));
    EXPECT_EQ("new", Read(bench_ / "t1/C/DATA/stock.dat")) << "the file keeps its name";
    EXPECT_FALSE(fs::exists(bench_ / "t1/C/DATA/STOCK.DAT"));
    EXPECT_CODE(2625, Put("new", "C:\\DATA", 1));
}

// A pipe without a writer would hold an open that waits for one.
TEST_F(Transfer, PutRefusesAPcFileThatCannotBeRead) {
    EXPECT_CODE(2804, tp.TpPutFile(handle_, (base_ / "pc/NONE").c_str(), "C:\\A.TXT", 1, 1));
    EXPECT_CODE(2804, tp.TpPutFile(handle_, (base_ / "pc").c_str(), "C:\\A.TXT", 1, 1));
    EXPECT_CODE(2804, tp.TpPutFile(handle_, "/dev/null", "C:\\A.TXT", 1, 1));
    const fs::path pipe = base_ / "pc/PIPE";
    EXPECT_CODE(2804, CallOnPipe(pipe, [&] {
                    return tp.TpPutFile(handle_, pipe.c_str(), "C:\\A.TXT", 1, 1);
                }));
    EXPECT_FALSE(fs::exists(bench_ / "t1/C/A.TXT"));
}

struct SpaceCase {
    std::size_t size;
    const char* path;
    int32_t code;
};

class Space : public Transfer, public ::testing::WithParamInterface<SpaceCase> {};

// Drive C holds 4 KB, of which the two files use 10 bytes.
TEST_P(Space, APutMustFitWithTheReplacedFileCountedAsFree) {
    EXPECT_CODE(GetParam().code, Put(std::string(GetParam().size, 'x'), GetParam().path, 1));
    const bool written = fs::exists(bench_ / "t1/C/NEW.DAT") &&
                         fs::file_size(bench_ / "t1/C/NEW.DAT") == GetParam().size;
    EXPECT_EQ(GetParam().code == 0 && std::string(GetParam().path) == "C:\\NEW.DAT", written);
    if (GetParam().code != 0) {
        EXPECT_EQ("other", Read(bench_ / "t1/C/DATA/OTHER.DAT"));
    }
}

INSTANTIATE_TEST_SUITE_P(Capacity, Space,
                         ::testing::Values(SpaceCase{4086, "C:\\NEW.DAT", 0},
                                           SpaceCase{4087, "C:\\NEW.DAT", 2619},
                                           SpaceCase{4091, "C:\\DATA\\OTHER.DAT", 0},
                                           SpaceCase{4092, "C:\\DATA\\OTHER.DAT", 2619},
                                           SpaceCase{1 << 20, "D:\\NEW.DAT", 0}));

void PrintTo(const SpaceCase& c, std::ostream* out) {
    *out << c.size << " bytes to " << c.path << " -> " << c.code;
}

enum class Make { File, Folder };

struct NewEntryCase {
    const char* name;
    Make make;
    const char* path;    // as the program sends it
    const char* folder;  // the folder it goes into
    int entries;         // that folder's visible entries before
    int32_t code;
    const char* stored;  // the bench path below C that then holds it; none when refused
};

void PrintTo(const NewEntryCase& c, std::ostream* out) {
    *out << c.name;
}

class NewEntry : public Transfer, public ::testing::WithParamInterface<NewEntryCase> {
protected:
    int32_t Count(const char* folder) {
        uint8_t buffer[32];
        int32_t count = -1, size = sizeof buffer;
        EXPECT_CODE(0, tp.TpListDir(handle_, folder, &count, buffer, &size));
        return count;
    }
};

TEST_P(NewEntry, IsStoredInUpperCaseWhileTheFolderHasRoom) {
    const NewEntryCase& c = GetParam();
    const fs::path folder = bench_ / "t1/C" / (c.folder + 3);  // after "C:\\"
    // Entries no terminal could hold take no room.
    Write(folder / "longname.text", "");
    Write(folder / ".hidden", "");
    fs::create_symlink(outside_ / "SECRET.TXT", folder / "LINK.TXT");
    for (int i = Count(c.folder); i < c.entries; ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "F%03d.TXT", i);
        Write(folder / name, "");
    }
    ASSERT_EQ(c.entries, Count(c.folder));
    const fs::path stored = bench_ / "t1/C" / (c.stored ? c.stored : "");
    const bool replaces = c.stored && fs::exists(stored);

    EXPECT_CODE(c.code,
                c.make == Make::File ? Put("new", c.path, 1) : tp.TpMakeDir(handle_, c.path));
    EXPECT_EQ(c.entries + (c.code == 0 && !replaces ? 1 : 0), Count(c.folder));
    if (c.stored == nullptr) return;
    if (c.make == Make::File) {
        EXPECT_EQ("new", Read(stored)) << c.stored;
    } else {
        EXPECT_TRUE(fs::is_directory(stored)) << c.stored;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, NewEntry,
    ::testing::Values(
        NewEntryCase{"PutUpperCased", Make::File, "C:\\DATA\\Mixed.Txt", "C:\\DATA", 2, 0,
                     "DATA/MIXED.TXT"},
        NewEntryCase{"FolderUpperCased", Make::Folder, "c:\\data\\sub", "C:\\DATA", 2, 0,
                     "DATA/SUB"},
        NewEntryCase{"File225th", Make::File, "C:\\DATA\\NEW.DAT", "C:\\DATA", 224, 0,
                     "DATA/NEW.DAT"},
        NewEntryCase{"File226th", Make::File, "C:\\DATA\\NEW.DAT", "C:\\DATA", 225, 2619, nullptr},
        NewEntryCase{"Folder226th", Make::Folder, "C:\\DATA\\SUB", "C:\\DATA", 225, 2619, nullptr},
        NewEntryCase{"Folder225thInRoot", Make::Folder, "C:\\SUB", "C:\\", 224, 0, "SUB"},
        NewEntryCase{"File226thInRoot", Make::File, "C:\\NEW.DAT", "C:\\", 225, 2619, nullptr},
        NewEntryCase{"ReplaceInFullFolder", Make::File, "C:\\DATA\\OTHER.DAT", "C:\\DATA", 225, 0,
                     "DATA/OTHER.DAT"},
        // Made on the PC: more than a terminal holds.
        NewEntryCase{"ReplaceInOverfullFolder", Make::File, "C:\\DATA\\STOCK.DAT", "C:\\DATA", 240,
                     0, "DATA/stock.dat"},
        NewEntryCase{"NewInOverfullFolder", Make::Folder, "C:\\DATA\\SUB", "C:\\DATA", 240, 2619,
                     nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

struct RenameCase {
    const char* from;
    const char* to;
    int32_t code;
    const char* renamed;  // the bench path that then exists
};

void PrintTo(const RenameCase& c, std::ostream* out) {
    *out << c.from << " to " << c.to << " -> " << c.code;
}

class Rename : public Transfer, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(Rename, RenamesInPlaceUnlessTheNameIsTaken) {
    const RenameCase& c = GetParam();
    EXPECT_CODE(c.code, tp.TpRename(handle_, c.from, c.to));
    const fs::path renamed = bench_ / "t1/C" / c.renamed;
    EXPECT_TRUE(fs::exists(renamed)) << c.renamed;
    EXPECT_EQ("other", Read(renamed.parent_path() / "OTHER.DAT"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, Rename,
    ::testing::Values(RenameCase{"C:\\DATA\\STOCK.DAT", "New.dat", 0, "DATA/NEW.DAT"},
                      RenameCase{"c:\\data\\stock.dat", "STOCK.DAT", 0, "DATA/STOCK.DAT"},
                      RenameCase{"C:\\DATA\\STOCK.DAT", "other.dat", 2627, "DATA/stock.dat"},
                      RenameCase{"C:\\DATA\\STOCK.DAT", "SUB\\X.DAT", 2626, "DATA/stock.dat"},
                      RenameCase{"C:\\DATA\\STOCK.DAT", "STOCKTAKE.DAT", 2626, "DATA/stock.dat"},
                      RenameCase{"C:\\DATA\\NONE.DAT", "X.DAT", 2622, "DATA/stock.dat"},
                      RenameCase{"C:\\DATA", "info", 0, "INFO/stock.dat"},
                      RenameCase{"C:\\DATA", "INFO.D", 2626, "DATA/stock.dat"},
                      RenameCase{"C:\\", "INFO", 2621, "DATA/stock.dat"}));

struct RateCase {
    const char* rate;  // as terminal.ini gives it
    std::uint64_t bytesPerSecond;
};

void PrintTo(const RateCase& c, std::ostream* out) {
    *out << "rate=" << c.rate;
}

class LineRate : public LinkedTerminalTest, public ::testing::WithParamInterface<RateCase> {};

// A put and a get each take at least their bytes over the rate; anything but a whole
// number is no limit.
TEST_P(LineRate, ATransferTakesItsBytesOverTheRate) {
    OpenTerminal(std::string("port=COM3\ndrives=C:64\nrate=") + GetParam().rate + "\n");
    const std::uint64_t rate = GetParam().bytesPerSecond;
    EXPECT_EQ(rate, emu::Terminal::Load(bench_ / "t1").value().RateBytesPerSecond());
    const std::string content(1500, 'x');
    Write(base_ / "pc/SOURCE", content);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    EXPECT_CODE(0, tp.TpPutFile(handle_, (base_ / "pc/SOURCE").c_str(), "C:\\A.DAT", 1, 1));
    const Clock::time_point put = Clock::now();
    EXPECT_CODE(0, tp.TpGetFile(handle_, "C:\\A.DAT", (base_ / "pc/BACK").c_str(), 1));
    const Clock::time_point got = Clock::now();
    EXPECT_EQ(content, Read(base_ / "pc/BACK"));

    const std::chrono::duration<double> least(rate == 0 ? 0.0 : content.size() / double(rate));
    EXPECT_LE(least, put - start);
    EXPECT_LE(least, got - put);
}

INSTANTIATE_TEST_SUITE_P(Values, LineRate,
                         ::testing::Values(RateCase{"5000", 5000}, RateCase{"0", 0},
                                           RateCase{"", 0}, RateCase{"-5000", 0},
                                           RateCase{"fast", 0}, RateCase{"5000 B/s", 0}));

TEST_F(Transfer, DeleteRemovesOnlyAFile) {
    EXPECT_CODE(0, tp.TpDeleteFile(handle_, "C:\\DATA\\STOCK.DAT"));
    EXPECT_FALSE(fs::exists(bench_ / "t1/C/DATA/stock.dat"));
    EXPECT_CODE(2622, tp.TpDeleteFile(handle_, "C:\\DATA\\STOCK.DAT"));
    EXPECT_CODE(0, tp.TpDeleteFile(handle_, "C:\\DATA\\OTHER.DAT"));
    EXPECT_CODE(0, tp.TpRemoveDir(handle_, "C:\\DATA"));
    EXPECT_FALSE(fs::exists(bench_ / "t1/C/DATA"));
}

}  // namespace
