#pragma once

#include "link/TerminalLibrary.h"

#include <gmock/gmock.h>

// A recording stand-in for the terminal modules, installed for its lifetime.
class MockTerminalLibrary : public TerminalLibrary {
public:
    MockTerminalLibrary() { InstallTerminalLibrary(this); }
    ~MockTerminalLibrary() override { InstallTerminalLibrary(nullptr); }

    MOCK_METHOD(uint32_t, TpOpen,
                (int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t),
                (override));
    MOCK_METHOD(int32_t, TpClose, (uint32_t), (override));
    MOCK_METHOD(uint32_t, TpUsbCount, (), (override));
    MOCK_METHOD(int32_t, TpUsbNameLength, (), (override));
    MOCK_METHOD(int32_t, TpUsbName, (int32_t, char*, int32_t*), (override));
    MOCK_METHOD(int32_t, TpSetMode, (int32_t), (override));
    MOCK_METHOD(int32_t, TpDiskInfo, (uint32_t, const char*, int32_t*, int32_t*, int32_t*),
                (override));
    MOCK_METHOD(int32_t, TpListDir, (uint32_t, const char*, int32_t*, uint8_t*, int32_t*),
                (override));
    MOCK_METHOD(int32_t, TpFormatDisk, (uint32_t, const char*), (override));
    MOCK_METHOD(int32_t, TpMakeDir, (uint32_t, const char*), (override));
    MOCK_METHOD(int32_t, TpRemoveDir, (uint32_t, const char*), (override));
    MOCK_METHOD(int32_t, TpRename, (uint32_t, const char*, const char*), (override));
    MOCK_METHOD(int32_t, TpDeleteFile, (uint32_t, const char*), (override));
    MOCK_METHOD(int32_t, TpGetFile, (uint32_t, const char*, const char*, int32_t), (override));
    MOCK_METHOD(int32_t, TpPutFile, (uint32_t, const char*, const char*, int32_t, int32_t),
                (override));
    MOCK_METHOD(int32_t, TpGetInfo,
                (uint32_t, char*, char*, char*, char*, char*, char*, char*, char*), (override));
    MOCK_METHOD(int32_t, TpUpgradeFirmware, (uint32_t, const char*, int32_t), (override));
    MOCK_METHOD(int32_t, CommPortCount, (), (override));
    MOCK_METHOD(int32_t, CommPortNameLength, (), (override));
    MOCK_METHOD(int32_t, CommPortName, (int32_t, char*, int32_t*), (override));
    MOCK_METHOD(std::string, WatchFolder, (), (override));

    // Makes TpUsbCount, TpUsbNameLength and TpUsbName list these names.
    void ListUsbNames(std::vector<std::string> names);
};
