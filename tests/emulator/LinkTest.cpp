#include "BenchFixture.h"

namespace fs = std::filesystem;

namespace {

struct OpenCase {
    int32_t kind, number, baud;
    const char* terminal;  // "" when no link opens
};

void PrintTo(const OpenCase& c, std::ostream* out) {
    *out << c.kind << "/" << c.number << "@" << c.baud << " -> " << c.terminal;
}

class Open : public BenchTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(Open, FindsTheTerminalThatThePortNames) {
    AddTerminal("a", "port=COM3\nbaud=6\ndrives=C:64\n");
    AddTerminal("b", "port=com7\ndrives=C:64\n");
    AddTerminal("c", "port=TQ-B\ndrives=C:64\n");
    AddTerminal("d", "port=TQ-A\ndrives=C:64\n");
    AddTerminal("e", "port=tq-lower\ndrives=C:64\n");
    AddTerminal("f", "port=LAN1\ndrives=C:64\n");
    AddTerminal("g", "port=COM9\noffline=1\ndrives=C:64\n");
    AddTerminal("h", "port=COM5\nfail=TpListDir:2509 TpOpen:2805\ndrives=C:64\n");
    AddTerminal("i", "port=COM8 ; the comment is no part of the port\ndrives=C:64\n");
    fs::create_directories(bench_ / "j/C");  // no terminal.ini: no terminal

    const OpenCase& c = GetParam();
    const uint32_t handle = tp.TpOpen(c.kind, c.number, 0, c.baud, 0, 0, 0, 1, 0);
    EXPECT_EQ(c.terminal, TerminalOf(handle));
    EXPECT_EQ(std::string(c.terminal).empty(), handle == 0);
    tp.TpClose(handle);
}

INSTANTIATE_TEST_SUITE_P(Ports, Open,
                         ::testing::Values(OpenCase{1, 3, 6, "a"}, OpenCase{1, 3, 5, ""},
                                           OpenCase{1, 7, 1, "b"}, OpenCase{1, 8, 1, "i"},
                                           OpenCase{1, 9, 6, ""}, OpenCase{1, 5, 6, ""},
                                           OpenCase{1, 4, 6, ""}, OpenCase{2, 1, 6, "d"},
                                           OpenCase{2, 2, 6, "c"}, OpenCase{2, 3, 6, ""},
                                           OpenCase{2, 0, 6, ""}, OpenCase{4, 1, 6, "f"},
                                           OpenCase{3, 1, 6, ""}));

using HandleOperation = int32_t (*)(const Module&, uint32_t);

int32_t g_value;
uint8_t g_buffer[7200];
char g_text[20];

const HandleOperation kEveryHandleOperation[] = {
    [](const Module& m, uint32_t h) {
        int32_t size = 7200;
        return m.TpListDir(h, "C:\\", &g_value, g_buffer, &size);
    },
    [](const Module& m, uint32_t h) { return m.TpDiskInfo(h, "C:", &g_value, &g_value, &g_value); },
    [](const Module& m, uint32_t h) { return m.TpFormatDisk(h, "C:"); },
    [](const Module& m, uint32_t h) { return m.TpMakeDir(h, "C:\\NEW"); },
    [](const Module& m, uint32_t h) { return m.TpRemoveDir(h, "C:\\DATA"); },
    [](const Module& m, uint32_t h) { return m.TpRename(h, "C:\\A.TXT", "B.TXT"); },
    [](const Module& m, uint32_t h) { return m.TpDeleteFile(h, "C:\\A.TXT"); },
    [](const Module& m, uint32_t h) { return m.TpGetFile(h, "C:\\A.TXT", "/nonexistent/x", 1); },
    [](const Module& m, uint32_t h) { return m.TpPutFile(h, "/nonexistent/x", "C:\\B.TXT", 1, 1); },
    [](const Module& m, uint32_t h) { return m.TpUpgradeFirmware(h, "/nonexistent/fw", 1); },
    [](const Module& m, uint32_t h) {
        return m.TpGetInfo(h, g_text, g_text, g_text, g_text, g_text, g_text, g_text, g_text);
    },
};

class DeadLink : public BenchTest, public ::testing::WithParamInterface<HandleOperation> {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        AddTerminal("t1", "port=COM3\ndrives=C:2048\n");
        Write(bench_ / "t1/C/A.TXT", "a");
        fs::create_directories(bench_ / "t1/C/DATA");
    }
};

TEST_P(DeadLink, AClosedOrUnknownHandleIsRefusedAndChangesNothing) {
    const uint32_t closed = OpenCom(3);
    ASSERT_NE(0u, closed);
    EXPECT_CODE(0, tp.TpClose(closed));
    EXPECT_CODE(2802, GetParam()(tp, closed));
    EXPECT_CODE(2802, GetParam()(tp, closed + 1000));
    EXPECT_CODE(2802, tp.TpClose(closed));
    EXPECT_EQ("a", Read(bench_ / "t1/C/A.TXT"));
    EXPECT_TRUE(fs::is_directory(bench_ / "t1/C/DATA"));
}

TEST_P(DeadLink, ATerminalTakenOffTheBenchNoLongerAnswers) {
    const uint32_t handle = OpenCom(3);
    fs::rename(bench_ / "t1", base_ / "t1-away");
    EXPECT_CODE(2802, GetParam()(tp, handle));
    fs::rename(base_ / "t1-away", bench_ / "t1");
    EXPECT_CODE(0, tp.TpClose(handle));
}

TEST_P(DeadLink, ATerminalSwitchedOffAfterOpeningTimesOut) {
    const uint32_t handle = OpenCom(3);
    AddTerminal("t1", "port=COM3\ndrives=C:2048\noffline=1\n");
    EXPECT_CODE(2509, GetParam()(tp, handle));
    EXPECT_EQ("a", Read(bench_ / "t1/C/A.TXT"));
    tp.TpClose(handle);
}

INSTANTIATE_TEST_SUITE_P(Operations, DeadLink, ::testing::ValuesIn(kEveryHandleOperation));

TEST_F(BenchTest, HandlesAreDistinctPerOpenAndCloseZeroIsHarmless) {
    AddTerminal("t1", "port=COM3\ndrives=C:2048\n");
    const uint32_t first = OpenCom(3), second = OpenCom(3);
    EXPECT_NE(0u, first);
    EXPECT_NE(first, second);
    EXPECT_CODE(0, tp.TpClose(0));
    EXPECT_CODE(0, tp.TpClose(first));
    EXPECT_EQ("t1", TerminalOf(second));
    EXPECT_CODE(0, tp.TpClose(second));
}

TEST_F(BenchTest, AnInjectedFaultIsAnsweredInsteadOfTheOperation) {
    AddTerminal("t1",
                "port=COM3\ndrives=C:2048\nfail=TpPutFile:2619 TpGetInfo:2681 TpClose:2801\n");
    Write(base_ / "pc/A.TXT", "a");
    const uint32_t handle = OpenCom(3);
    EXPECT_CODE(2619, tp.TpPutFile(handle, (base_ / "pc/A.TXT").c_str(), "C:\\A.TXT", 1, 1));
    EXPECT_FALSE(fs::exists(bench_ / "t1/C/A.TXT"));
    EXPECT_CODE(
        2681, tp.TpGetInfo(handle, g_text, g_text, g_text, g_text, g_text, g_text, g_text, g_text));
    EXPECT_CODE(0, tp.TpMakeDir(handle, "C:\\NEW"));
    EXPECT_CODE(2801, tp.TpClose(handle));
    EXPECT_CODE(2802, tp.TpMakeDir(handle, "C:\\NEW2"));
}

}  // namespace
