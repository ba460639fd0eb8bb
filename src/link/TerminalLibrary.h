#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The program's one way into the terminal protocol and Communication modules. The real
// implementation resolves every operation by ordinal; tests install a recording fake.
class TerminalLibrary {
public:
    virtual ~TerminalLibrary() = default;

    virtual uint32_t TpOpen(int32_t kind, int32_t number, int32_t arg3, int32_t baudCode,
                            int32_t arg5, int32_t arg6, int32_t arg7, int32_t arg8,
                            int32_t arg9) = 0;
    virtual int32_t TpClose(uint32_t handle) = 0;
    virtual uint32_t TpUsbCount() = 0;
    virtual int32_t TpUsbNameLength() = 0;
    virtual int32_t TpUsbName(int32_t index, char* buffer, int32_t* size) = 0;
    virtual int32_t TpSetMode(int32_t mode) = 0;
    virtual int32_t TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB,
                               int32_t* other, int32_t* freeKB) = 0;
    virtual int32_t TpListDir(uint32_t handle, const char* folder, int32_t* count,
                              uint8_t* buffer, int32_t* bufferSize) = 0;
    virtual int32_t TpFormatDisk(uint32_t handle, const char* drive) = 0;
    virtual int32_t TpMakeDir(uint32_t handle, const char* folder) = 0;
    virtual int32_t TpRemoveDir(uint32_t handle, const char* folder) = 0;
    virtual int32_t TpRename(uint32_t handle, const char* oldPath, const char* newName) = 0;
    virtual int32_t TpDeleteFile(uint32_t handle, const char* path) = 0;
    virtual int32_t TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath,
                              int32_t flag) = 0;
    virtual int32_t TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath,
                              int32_t flagA, int32_t flagB) = 0;
    virtual int32_t TpGetInfo(uint32_t handle, char* model, char* firmware, char* serial,
                              char* info4, char* info5, char* info6, char* info7,
                              char* info8) = 0;
    virtual int32_t TpUpgradeFirmware(uint32_t handle, const char* imagePath, int32_t flag) = 0;

    virtual int32_t CommPortCount() = 0;
    virtual int32_t CommPortNameLength() = 0;
    virtual int32_t CommPortName(int32_t index, char* buffer, int32_t* length) = 0;

    // The folder whose changes stand for devices coming and going, when the module names one.
    virtual std::string WatchFolder() = 0;

    // The folders the modules were looked for in without finding them; empty once they were
    // found, and for any library that is not loaded from modules.
    virtual std::vector<std::string> FoldersSearchedInVain() const { return {}; }
};

// The library every part of the program calls: the modules found from the executable's folder
// (ModuleSearch.h) unless a test installed another.
TerminalLibrary& Tp();

// Installs `library` (not owned) in place of the modules; nullptr restores them.
void InstallTerminalLibrary(TerminalLibrary* library);
