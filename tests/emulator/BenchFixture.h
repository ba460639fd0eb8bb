#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// The stand-in module as the program sees it: loaded with dlopen, operations by ordinal.
struct Module {
    static const Module& Get();

    uint32_t (*TpOpen)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                       int32_t);
    int32_t (*TpClose)(uint32_t);
    uint32_t (*TpUsbCount)();
    int32_t (*TpUsbNameLength)();
    int32_t (*TpUsbName)(int32_t, char*, int32_t*);
    int32_t (*TpDiskInfo)(uint32_t, const char*, int32_t*, int32_t*, int32_t*);
    int32_t (*TpListDir)(uint32_t, const char*, int32_t*, uint8_t*, int32_t*);
    int32_t (*TpFormatDisk)(uint32_t, const char*);
    int32_t (*TpMakeDir)(uint32_t, const char*);
    int32_t (*TpRemoveDir)(uint32_t, const char*);
    int32_t (*TpRename)(uint32_t, const char*, const char*);
    int32_t (*TpDeleteFile)(uint32_t, const char*);
    int32_t (*TpGetFile)(uint32_t, const char*, const char*, int32_t);
    int32_t (*TpPutFile)(uint32_t, const char*, const char*, int32_t, int32_t);
    int32_t (*TpGetInfo)(uint32_t, char*, char*, char*, char*, char*, char*, char*, char*);
    int32_t (*TpUpgradeFirmware)(uint32_t, const char*, int32_t);
    const char* (*WatchFolder)();
    int32_t (*CommPortCount)();
    int32_t (*CommPortName)(int32_t, char*, int32_t*);
};

// Whether the program has a text for the code; every refusal must be one of these.
bool IsKnownResultCode(int32_t code);

// Writes a file, making the folders it needs.
void Write(const std::filesystem::path& path, const std::string& content);
std::string Read(const std::filesystem::path& path);

// Makes the named pipe `pipe`, with no writer, and runs `call`, which is handed it. A call
// that waits on the pipe fails the test and is then released by a writer, so the test ends.
int32_t CallOnPipe(const std::filesystem::path& pipe, const std::function<int32_t()>& call);

// A bench in a fresh temporary folder, named by TARVIK_TERMINALS for the test, beside an
// "outside" folder that no operation may change.
class BenchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a terminal whose terminal.ini holds these lines (folder name as serial).
    void AddTerminal(const std::string& folder, const std::string& iniLines);
    std::string IniValue(const std::string& folder, const std::string& key) const;
    // A link to the terminal on the COM port with that number, at baud code 6.
    uint32_t OpenCom(int number);
    // The folder name of the terminal a link reaches, or "" when it reaches none.
    std::string TerminalOf(uint32_t handle) const;

    const Module& tp = Module::Get();
    std::filesystem::path base_, bench_, outside_;

private:
    std::string outsideBefore_;
};

// A bench whose terminal "t1" on COM3 stays linked for the whole test.
class LinkedTerminalTest : public BenchTest {
protected:
    // Adds t1 with these terminal.ini lines, which must put it on COM3, and opens the link.
    void OpenTerminal(const std::string& iniLines);
    void TearDown() override;

    uint32_t handle_ = 0;
};

// Every result must be the expected one and a code the program knows.
#define EXPECT_CODE(expected, actual)                                       \
    do {                                                                    \
        const int32_t result_ = (actual);                                   \
        EXPECT_EQ(expected, result_);                                       \
        EXPECT_TRUE(result_ == 0 || IsKnownResultCode(result_)) << result_; \
    } while (0)
