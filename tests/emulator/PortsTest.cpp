#include "BenchFixture.h"

#include "Bench.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace fs = std::filesystem;

namespace {

class Ports : public BenchTest {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        AddTerminal("z-first", "port=TQ-3100-0002\noffline=1\n");
        AddTerminal("m-second", "port=TQ-3100-0001\n");
        AddTerminal("a-third", "port=COM3\n");
        AddTerminal("b-fourth", "port=TQ-3100-ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\n");
    }
};

TEST_F(Ports, UsbTerminalsAreListedByPortNameWhetherTheyAnswerOrNot) {
    ASSERT_EQ(3u, tp.TpUsbCount());
    ASSERT_EQ(32, tp.TpUsbNameLength());
    const char* expected[] = {"TQ-3100-0001", "TQ-3100-0002", "TQ-3100-ABCDEFGHIJKLMNOPQRSTUVWX"};
    for (int i = 0; i < 3; ++i) {
        char name[33 + 4];
        std::memset(name, 0x7F, sizeof name);
        int32_t size = 33;
        EXPECT_CODE(0, tp.TpUsbName(i, name, &size));
        EXPECT_STREQ(expected[i], name);
        EXPECT_EQ(0x7F, name[33]) << "written past the buffer";
        EXPECT_EQ(33, size);
    }
}

TEST_F(Ports, ANameIsCutToTheBufferAndABadRequestIsRefused) {
    char name[8];
    std::memset(name, 0x7F, sizeof name);
    int32_t size = 5;
    EXPECT_CODE(0, tp.TpUsbName(0, name, &size));
    EXPECT_STREQ("TQ-3", name);
    EXPECT_EQ(0x7F, name[5]);
    size = 33;
    EXPECT_CODE(2807, tp.TpUsbName(3, name, &size));
    EXPECT_CODE(2807, tp.TpUsbName(-1, name, &size));
    EXPECT_CODE(2807, tp.TpUsbName(0, nullptr, &size));
    EXPECT_CODE(2807, tp.TpUsbName(0, name, nullptr));
    size = 0;
    EXPECT_CODE(2807, tp.TpUsbName(0, name, &size));
    size = 1;
    EXPECT_CODE(0, tp.CommPortName(0, name, &size));
    EXPECT_STREQ("", name);
}

TEST_F(Ports, CommunicationListsEveryBenchPortByFolderName) {
    fs::create_directories(bench_ / "no-ini/C");
    ASSERT_EQ(4, tp.CommPortCount());
    const char* expected[] = {"COM3", "TQ-3100-ABCDEFGHIJKLMNOPQRSTUVWX", "TQ-3100-0001",
                              "TQ-3100-0002"};
    for (int i = 0; i < 4; ++i) {
        char name[100] = {};
        int32_t length = 33;
        EXPECT_CODE(0, tp.CommPortName(i, name, &length));
        EXPECT_STREQ(expected[i], name);
    }
    char name[100];
    int32_t length = 33;
    EXPECT_CODE(2807, tp.CommPortName(4, name, &length));
}

TEST_F(Ports, TheWatchFolderFollowsTheEnvironment) {
    EXPECT_EQ(bench_.string(), tp.WatchFolder());
    setenv("TARVIK_TERMINALS", (base_ / "other").c_str(), 1);
    EXPECT_EQ((base_ / "other").string(), tp.WatchFolder());
    EXPECT_EQ(0u, tp.TpUsbCount());
}

struct EnvironmentCase {
    const char* terminals;
    const char* dataHome;
    const char* home;
    const char* bench;
};

class BenchLocation : public ::testing::TestWithParam<EnvironmentCase> {
protected:
    void SetUp() override {
        for (const char* name : {"TARVIK_TERMINALS", "XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    static void Set(const char* name, const char* value) {
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_P(BenchLocation, IsTakenFromTheFirstVariableSet) {
    Set("TARVIK_TERMINALS", GetParam().terminals);
    Set("XDG_DATA_HOME", GetParam().dataHome);
    Set("HOME", GetParam().home);
    EXPECT_EQ(GetParam().bench, emu::BenchFolder().string());
}

INSTANTIATE_TEST_SUITE_P(Environment, BenchLocation,
                         ::testing::Values(EnvironmentCase{"/b", "/x", "/h", "/b"},
                                           EnvironmentCase{"", "/x", "/h", "/x/tarvik/terminals"},
                                           EnvironmentCase{nullptr, nullptr, "/h",
                                                           "/h/.local/share/tarvik/terminals"},
                                           EnvironmentCase{nullptr, nullptr, nullptr, ""}));

}  // namespace
