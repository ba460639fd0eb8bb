#include "link/ModuleLibrary.h"

#include "link/PortParsing.h"
#include "link/ResultCodes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Without its modules the program keeps running and every link fails as for an absent terminal.
TEST(ModuleLibraryTest, MissingModulesAnswerAsAnUnreachableTerminal) {
    QTemporaryDir empty;
    ModuleLibrary library(empty.path().toStdString());
    EXPECT_FALSE(library.HasTerminalProtocol());
    EXPECT_FALSE(library.HasCommunication());
    EXPECT_EQ(library.TpOpen(1, 1, 0, 6, 0, 0, 0, 1, 0), 0u);
    EXPECT_EQ(library.TpClose(0), 0);
    EXPECT_EQ(library.TpUsbCount(), 0u);
    EXPECT_EQ(library.CommPortCount(), 0);
    int32_t count = -1;
    int32_t size = 7200;
    uint8_t buffer[32];
    EXPECT_NE(library.TpListDir(1, "C:\\", &count, buffer, &size), kSuccess);
    EXPECT_EQ(count, -1);
    char info[8][20];
    EXPECT_NE(library.TpGetInfo(1, info[0], info[1], info[2], info[3], info[4], info[5], info[6],
                                info[7]),
              kSuccess);
    EXPECT_EQ(library.WatchFolder(), "");
}

TEST(ModuleLibraryTest, ResolvesWhatAModuleOffersAndFailsTheRest) {
    ModuleLibrary library(TARVIK_PARTIAL_MODULE_DIR);
    ASSERT_TRUE(library.HasTerminalProtocol());
    // The partial module encodes its arguments in the handle, so their order shows.
    EXPECT_EQ(library.TpOpen(2, 3, 0, 6, 0, 0, 0, 1, 0), 102036u);
    EXPECT_EQ(library.TpUpgradeFirmware(102036u, "/tmp/x.bin", 1), kInvalidPortHandle);
    EXPECT_EQ(library.TpUsbNameLength(), 0);
    EXPECT_FALSE(library.HasCommunication());
    EXPECT_EQ(library.CommPortNameLength(), 0);
}

TEST(ModuleLibraryTest, TheBuiltModulesAreFoundAndNameTheirWatchFolder) {
    qputenv("TARVIK_TERMINALS", "/tmp/tarvik-module-test-bench");
    ModuleLibrary library(TARVIK_MODULE_DIR);
    EXPECT_TRUE(library.HasTerminalProtocol());
    EXPECT_TRUE(library.HasCommunication());
    EXPECT_EQ(library.WatchFolder(), "/tmp/tarvik-module-test-bench");
    qunsetenv("TARVIK_TERMINALS");
}

}  // namespace
