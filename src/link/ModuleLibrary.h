#pragma once

#include "link/TerminalLibrary.h"

#include <string>
#include <vector>

// The terminal protocol and Communication modules loaded from one folder. An operation whose
// module or ordinal is missing answers as an unreachable terminal does.
class ModuleLibrary final : public TerminalLibrary {
public:
    explicit ModuleLibrary(const std::string& folder);
    // The modules of the first of `folders` that holds them (see ModuleSearch.h).
    explicit ModuleLibrary(const std::vector<std::string>& folders);
    ~ModuleLibrary() override;
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    bool HasTerminalProtocol() const { return protocolProc_ != nullptr; }
    bool HasCommunication() const { return communicationProc_ != nullptr; }

    uint32_t TpOpen(int32_t kind, int32_t number, int32_t arg3, int32_t baudCode, int32_t arg5,
                    int32_t arg6, int32_t arg7, int32_t arg8, int32_t arg9) override;
    int32_t TpClose(uint32_t handle) override;
    uint32_t TpUsbCount() override;
    int32_t TpUsbNameLength() override;
    int32_t TpUsbName(int32_t index, char* buffer, int32_t* size) override;
    int32_t TpSetMode(int32_t mode) override;
    int32_t TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB, int32_t* other,
                       int32_t* freeKB) override;
    int32_t TpListDir(uint32_t handle, const char* folder, int32_t* count, uint8_t* buffer,
                      int32_t* bufferSize) override;
    int32_t TpFormatDisk(uint32_t handle, const char* drive) override;
    int32_t TpMakeDir(uint32_t handle, const char* folder) override;
    int32_t TpRemoveDir(uint32_t handle, const char* folder) override;
    int32_t TpRename(uint32_t handle, const char* oldPath, const char* newName) override;
    int32_t TpDeleteFile(uint32_t handle, const char* path) override;
    int32_t TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath,
                      int32_t flag) override;
    int32_t TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath,
                      int32_t flagA, int32_t flagB) override;
    int32_t TpGetInfo(uint32_t handle, char* model, char* firmware, char* serial, char* info4,
                      char* info5, char* info6, char* info7, char* info8) override;
    int32_t TpUpgradeFirmware(uint32_t handle, const char* imagePath, int32_t flag) override;
    int32_t CommPortCount() override;
    int32_t CommPortNameLength() override;
    int32_t CommPortName(int32_t index, char* buffer, int32_t* length) override;
    std::string WatchFolder() override;
    std::vector<std::string> FoldersSearchedInVain() const override { return searchedInVain_; }

private:
    using ProcFunction = void* (*)(int);

    template <typename Function>
    Function Resolve(ProcFunction proc, int ordinal) const;

    void* protocolModule_ = nullptr;
    void* communicationModule_ = nullptr;
    ProcFunction protocolProc_ = nullptr;
    ProcFunction communicationProc_ = nullptr;
    const char* (*watchFolder_)() = nullptr;
    std::vector<std::string> searchedInVain_;
};
