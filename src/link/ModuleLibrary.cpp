#include "link/ModuleLibrary.h"

#include "link/ModuleSearch.h"
#include "link/ResultCodes.h"

#include <QCoreApplication>
#include <dlfcn.h>

namespace {

enum Ordinal : int {
    kTpOpen = 101,
    kTpClose = 102,
    kTpUsbCount = 105,
    kTpUsbNameLength = 106,
    kTpUsbName = 107,
    kTpSetMode = 108,
    kTpDiskInfo = 201,
    kTpListDir = 202,
    kTpFormatDisk = 203,
    kTpMakeDir = 204,
    kTpRemoveDir = 205,
    kTpRename = 206,
    kTpDeleteFile = 207,
    kTpGetFile = 208,
    kTpPutFile = 209,
    kTpGetInfo = 302,
    kTpUpgradeFirmware = 308,
    kCommPortCount = 4,
    kCommPortNameLength = 5,
    kCommPortName = 6,
};

// What an operation answers when its module or ordinal is missing: no terminal is reachable.
constexpr int32_t kUnreachable = kInvalidPortHandle;

void* OpenModule(const std::string& folder, const char* file) {
    // Never a bare name: the loader would take whatever the system's library path offers.
    if (folder.empty()) return nullptr;
    const std::string path = folder + "/" + file;
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

template <typename Proc>
Proc Symbol(void* module, const char* name) {
    return module ? reinterpret_cast<Proc>(dlsym(module, name)) : nullptr;
}

}  // namespace

ModuleLibrary::ModuleLibrary(const std::string& folder)
    : protocolModule_(OpenModule(folder, "libterminalprotocol.so")),
      communicationModule_(OpenModule(folder, "libcommunication.so")) {
    protocolProc_ = Symbol<ProcFunction>(protocolModule_, "TerminalProtocolProc");
    communicationProc_ = Symbol<ProcFunction>(communicationModule_, "CommunicationProc");
    watchFolder_ = Symbol<const char* (*)()>(protocolModule_, "TerminalProtocolWatchFolder");
}

ModuleLibrary::ModuleLibrary(const std::vector<std::string>& folders)
    : ModuleLibrary(FolderWithModules(folders)) {
    if (!HasTerminalProtocol()) searchedInVain_ = folders;
}

ModuleLibrary::~ModuleLibrary() {
    if (protocolModule_) dlclose(protocolModule_);
    if (communicationModule_) dlclose(communicationModule_);
}

template <typename Function>
Function ModuleLibrary::Resolve(ProcFunction proc, int ordinal) const {
    return proc ? reinterpret_cast<Function>(proc(ordinal)) : nullptr;
}

uint32_t ModuleLibrary::TpOpen(int32_t kind, int32_t number, int32_t arg3, int32_t baudCode,
                               int32_t arg5, int32_t arg6, int32_t arg7, int32_t arg8,
                               int32_t arg9) {
    using F = uint32_t (*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                           int32_t, int32_t);
    auto f = Resolve<F>(protocolProc_, kTpOpen);
    return f ? f(kind, number, arg3, baudCode, arg5, arg6, arg7, arg8, arg9) : 0;
}

int32_t ModuleLibrary::TpClose(uint32_t handle) {
    auto f = Resolve<int32_t (*)(uint32_t)>(protocolProc_, kTpClose);
    return f ? f(handle) : 0;
}

uint32_t ModuleLibrary::TpUsbCount() {
    auto f = Resolve<uint32_t (*)()>(protocolProc_, kTpUsbCount);
    return f ? f() : 0;
}

int32_t ModuleLibrary::TpUsbNameLength() {
    auto f = Resolve<int32_t (*)()>(protocolProc_, kTpUsbNameLength);
    return f ? f() : 0;
}

int32_t ModuleLibrary::TpUsbName(int32_t index, char* buffer, int32_t* size) {
    auto f = Resolve<int32_t (*)(int32_t, char*, int32_t*)>(protocolProc_, kTpUsbName);
    return f ? f(index, buffer, size) : kUnreachable;
}

int32_t ModuleLibrary::TpSetMode(int32_t mode) {
    auto f = Resolve<int32_t (*)(int32_t)>(protocolProc_, kTpSetMode);
    return f ? f(mode) : kUnreachable;
}

int32_t ModuleLibrary::TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB,
                                  int32_t* other, int32_t* freeKB) {
    using F = int32_t (*)(uint32_t, const char*, int32_t*, int32_t*, int32_t*);
    auto f = Resolve<F>(protocolProc_, kTpDiskInfo);
    return f ? f(handle, drive, capacityKB, other, freeKB) : kUnreachable;
}

int32_t ModuleLibrary::TpListDir(uint32_t handle, const char* folder, int32_t* count,
                                 uint8_t* buffer, int32_t* bufferSize) {
    using F = int32_t (*)(uint32_t, const char*, int32_t*, uint8_t*, int32_t*);
    auto f = Resolve<F>(protocolProc_, kTpListDir);
    return f ? f(handle, folder, count, buffer, bufferSize) : kUnreachable;
}

int32_t ModuleLibrary::TpFormatDisk(uint32_t handle, const char* drive) {
    auto f = Resolve<int32_t (*)(uint32_t, const char*)>(protocolProc_, kTpFormatDisk);
    return f ? f(handle, drive) : kUnreachable;
}

int32_t ModuleLibrary::TpMakeDir(uint32_t handle, const char* folder) {
    auto f = Resolve<int32_t (*)(uint32_t, const char*)>(protocolProc_, kTpMakeDir);
    return f ? f(handle, folder) : kUnreachable;
}

int32_t ModuleLibrary::TpRemoveDir(uint32_t handle, const char* folder) {
    auto f = Resolve<int32_t (*)(uint32_t, const char*)>(protocolProc_, kTpRemoveDir);
    return f ? f(handle, folder) : kUnreachable;
}

int32_t ModuleLibrary::TpRename(uint32_t handle, const char* oldPath, const char* newName) {
    using F = int32_t (*)(uint32_t, const char*, const char*);
    auto f = Resolve<F>(protocolProc_, kTpRename);
    return f ? f(handle, oldPath, newName) : kUnreachable;
}

int32_t ModuleLibrary::TpDeleteFile(uint32_t handle, const char* path) {
    auto f = Resolve<int32_t (*)(uint32_t, const char*)>(protocolProc_, kTpDeleteFile);
    return f ? f(handle, path) : kUnreachable;
}

int32_t ModuleLibrary::TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath,
                                 int32_t flag) {
    using F = int32_t (*)(uint32_t, const char*, const char*, int32_t);
    auto f = Resolve<F>(protocolProc_, kTpGetFile);
    return f ? f(handle, terminalPath, pcPath, flag) : kUnreachable;
}

int32_t ModuleLibrary::TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath,
                                 int32_t flagA, int32_t flagB) {
    using F = int32_t (*)(uint32_t, const char*, const char*, int32_t, int32_t);
    auto f = Resolve<F>(protocolProc_, kTpPutFile);
    return f ? f(handle, pcPath, terminalPath, flagA, flagB) : kUnreachable;
}

int32_t ModuleLibrary::TpGetInfo(uint32_t handle, char* model, char* firmware, char* serial,
                                 char* info4, char* info5, char* info6, char* info7,
                                 char* info8) {
    using F = int32_t (*)(uint32_t, char*, char*, char*, char*, char*, char*, char*, char*);
    auto f = Resolve<F>(protocolProc_, kTpGetInfo);
    return f ? f(handle, model, firmware, serial, info4, info5, info6, info7, info8)
             : kUnreachable;
}

int32_t ModuleLibrary::TpUpgradeFirmware(uint32_t handle, const char* imagePath, int32_t flag) {
    using F = int32_t (*)(uint32_t, const char*, int32_t);
    auto f = Resolve<F>(protocolProc_, kTpUpgradeFirmware);
    return f ? f(handle, imagePath, flag) : kUnreachable;
}

int32_t ModuleLibrary::CommPortCount() {
    auto f = Resolve<int32_t (*)()>(communicationProc_, kCommPortCount);
    return f ? f() : 0;
}

int32_t ModuleLibrary::CommPortNameLength() {
    auto f = Resolve<int32_t (*)()>(communicationProc_, kCommPortNameLength);
    return f ? f() : 0;
}

int32_t ModuleLibrary::CommPortName(int32_t index, char* buffer, int32_t* length) {
    auto f = Resolve<int32_t (*)(int32_t, char*, int32_t*)>(communicationProc_, kCommPortName);
    return f ? f(index, buffer, length) : kUnreachable;
}

std::string ModuleLibrary::WatchFolder() {
    const char* folder = watchFolder_ ? watchFolder_() : nullptr;
    return folder ? std::string(folder) : std::string();
}

namespace {
TerminalLibrary* g_installedLibrary = nullptr;
}

TerminalLibrary& Tp() {
    if (g_installedLibrary) return *g_installedLibrary;
    // Found from the executable's own folder, as the platform finds a program's own modules,
    // so a build tree and an installed tree both run as they are.
    static ModuleLibrary modules(
        ModuleSearchFolders(QCoreApplication::applicationDirPath().toStdString()));
    return modules;
}

void InstallTerminalLibrary(TerminalLibrary* library) { g_installedLibrary = library; }
