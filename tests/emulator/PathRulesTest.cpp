#include "BenchFixture.h"

namespace fs = std::filesystem;

namespace {

enum class Op { List, MakeDir, RemoveDir, Delete, Get, Put };

struct PathCase {
    Op op;
    const char* path;
    int32_t code;
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << static_cast<int>(c.op) << " " << c.path << " -> " << c.code;
}

// One terminal without drive E, whose C: also holds symbolic links leading out of the bench.
class PathRules : public BenchTest, public ::testing::WithParamInterface<PathCase> {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        AddTerminal("t1", "port=COM3\nmodel=TQ-3100\ndrives=C:2048 D:4096\n");
        Write(bench_ / "t1/C/DATA/STOCK.DAT", "12,4006381333931\n");
        Write(bench_ / "t1/C/DATA/NOTES", "");
        fs::create_directories(bench_ / "t1/C/DATA/SUB");
        fs::create_directory_symlink(outside_, bench_ / "t1/C/LINK");
        fs::create_symlink(outside_ / "SECRET.TXT", bench_ / "t1/C/SECRET.TXT");
        Write(base_ / "pc/NEW.TXT", "new");
        handle_ = OpenCom(3);
        ASSERT_NE(0u, handle_);
    }
    void TearDown() override {
        tp.TpClose(handle_);
        BenchTest::TearDown();
    }

    int32_t Run(Op op, const char* path) {
        int32_t count = 0, size = 7200;
        static uint8_t buffer[7200];
        const std::string pc = (base_ / "pc/GOT.TXT").string();
        const std::string source = (base_ / "pc/NEW.TXT").string();
        switch (op) {
            case Op::List:
                return tp.TpListDir(handle_, path, &count, buffer, &size);
            case Op::MakeDir:
                return tp.TpMakeDir(handle_, path);
            case Op::RemoveDir:
                return tp.TpRemoveDir(handle_, path);
            case Op::Delete:
                return tp.TpDeleteFile(handle_, path);
            case Op::Get:
                return tp.TpGetFile(handle_, path, pc.c_str(), 1);
            case Op::Put:
                return tp.TpPutFile(handle_, source.c_str(), path, 0, 1);
        }
        return -1;
    }

    uint32_t handle_ = 0;
};

TEST_P(PathRules, AnswersWithTheCodeOfTheRuleBroken) {
    const PathCase& c = GetParam();
    EXPECT_CODE(c.code, Run(c.op, c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathRules,
    ::testing::Values(
        // form of the path
        PathCase{Op::MakeDir, "C:\\..\\X", 2621},
        PathCase{Op::MakeDir, "C:\\DATA\\..\\..\\NEW", 2621},
        PathCase{Op::Put, "C:\\..\\..\\..\\outside\\NEW.TXT", 2621},
        PathCase{Op::List, "C:/DATA", 2621}, PathCase{Op::List, "C:\\DATA/SUB", 2621},
        PathCase{Op::List, "\\DATA", 2621}, PathCase{Op::List, "DATA", 2621},
        PathCase{Op::List, "", 2621}, PathCase{Op::List, "F:\\", 2621},
        PathCase{Op::List, "C:DATA", 2621}, PathCase{Op::List, "C:\\\\DATA", 2621},
        PathCase{Op::List, "C:\\DATA\\", 2621}, PathCase{Op::List, "C:\\.", 2621},
        PathCase{Op::Delete, "C:\\", 2621}, PathCase{Op::RemoveDir, "c:", 2621},
        // drives
        PathCase{Op::List, "E:\\", 2616}, PathCase{Op::MakeDir, "e:\\NEW", 2616},
        PathCase{Op::List, "d:", 0}, PathCase{Op::List, "c:\\data\\sub", 0},
        // 8.3 names
        PathCase{Op::MakeDir, "C:\\TOOLONGNA", 2626}, PathCase{Op::MakeDir, "C:\\NAME.LONG", 2626},
        // a folder has no extension, checked with the names before the drive
        PathCase{Op::MakeDir, "C:\\DATA\\NEW.DIR", 2626}, PathCase{Op::MakeDir, "E:\\NEW.D", 2626},
        PathCase{Op::Put, "C:\\DATA\\A.B.C", 2626}, PathCase{Op::Put, "C:\\DATA\\BAD*.TXT", 2626},
        PathCase{Op::Put, "C:\\DATA\\A B.TXT", 2626}, PathCase{Op::Put, "C:\\.TXT", 2626},
        PathCase{Op::Put, "C:\\NAME.", 2626}, PathCase{Op::Put, "C:\\DATA\\12345678.123", 0},
        // depth: two folder levels, files one deeper
        PathCase{Op::MakeDir, "C:\\DATA\\SUB\\THIRD", 2621},
        PathCase{Op::Put, "C:\\DATA\\SUB\\THIRD\\F.TXT", 2621},
        PathCase{Op::Put, "C:\\DATA\\SUB\\F.TXT", 0}, PathCase{Op::MakeDir, "C:\\DATA\\SUB2", 0},
        // what is, or is not, there
        PathCase{Op::MakeDir, "C:\\NOPE\\SUB", 2621}, PathCase{Op::Put, "C:\\NOPE\\X.TXT", 2621},
        PathCase{Op::List, "C:\\NOPE", 2622}, PathCase{Op::List, "C:\\DATA\\STOCK.DAT", 2622},
        PathCase{Op::MakeDir, "C:\\data", 2630}, PathCase{Op::MakeDir, "C:\\DATA\\notes", 2630},
        PathCase{Op::MakeDir, "C:\\DATA\\stock.dat", 2626},
        PathCase{Op::RemoveDir, "C:\\DATA", 2631}, PathCase{Op::RemoveDir, "C:\\NOPE", 2622},
        PathCase{Op::Delete, "C:\\DATA", 2628}, PathCase{Op::Delete, "C:\\DATA\\NOPE.DAT", 2622},
        PathCase{Op::Get, "C:\\NOPE.TXT", 2622},
        // symbolic links are not there for the terminal
        PathCase{Op::List, "C:\\LINK", 2622}, PathCase{Op::List, "C:\\LINK\\C", 2622},
        PathCase{Op::MakeDir, "C:\\LINK\\NEW", 2621}, PathCase{Op::Put, "C:\\LINK\\NEW.TXT", 2621},
        PathCase{Op::Delete, "C:\\SECRET.TXT", 2622}, PathCase{Op::Get, "C:\\SECRET.TXT", 2622},
        PathCase{Op::RemoveDir, "C:\\LINK", 2622}));

using ArgumentCheck = int32_t (*)(const Module&, uint32_t);

class NullArguments : public BenchTest, public ::testing::WithParamInterface<ArgumentCheck> {};

TEST_P(NullArguments, GiveInvalidParameter) {
    AddTerminal("t1", "port=COM3\ndrives=C:2048\n");
    const uint32_t handle = OpenCom(3);
    EXPECT_CODE(2807, GetParam()(tp, handle));
    tp.TpClose(handle);
}

int32_t g_value;
int32_t g_size = 7200;
uint8_t g_buffer[7200];
char g_text[20];

INSTANTIATE_TEST_SUITE_P(
    Arguments, NullArguments,
    ::testing::Values(
        [](const Module& m, uint32_t h) {
            return m.TpListDir(h, nullptr, &g_value, g_buffer, &g_size);
        },
        [](const Module& m, uint32_t h) { return m.TpMakeDir(h, nullptr); },
        [](const Module& m, uint32_t h) { return m.TpRemoveDir(h, nullptr); },
        [](const Module& m, uint32_t h) { return m.TpDeleteFile(h, nullptr); },
        [](const Module& m, uint32_t h) { return m.TpRename(h, "C:\\A.TXT", nullptr); },
        [](const Module& m, uint32_t h) { return m.TpRename(h, nullptr, "B.TXT"); },
        [](const Module& m, uint32_t h) { return m.TpGetFile(h, "C:\\A.TXT", nullptr, 1); },
        [](const Module& m, uint32_t h) { return m.TpPutFile(h, nullptr, "C:\\A.TXT", 1, 1); },
        [](const Module& m, uint32_t h) { return m.TpFormatDisk(h, nullptr); },
        [](const Module& m, uint32_t h) {
            return m.TpDiskInfo(h, "C:", &g_value, nullptr, &g_value);
        },
        [](const Module& m, uint32_t h) { return m.TpUpgradeFirmware(h, nullptr, 1); },
        [](const Module& m, uint32_t h) {
            return m.TpGetInfo(h, g_text, g_text, g_text, g_text, nullptr, g_text, g_text, g_text);
        }));

}  // namespace
