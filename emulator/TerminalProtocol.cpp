#include "Bench.h"
#include "Operations.h"

#include <string>

namespace {

struct Ordinal {
    int number;
    void* operation;
};

template <typename Function>
void* Address(Function* function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

extern "C" [[gnu::visibility("default")]] void* TerminalProtocolProc(int ordinal) {
    static const Ordinal kTable[] = {
        {101, Address(&TpOpen)},
        {102, Address(&TpClose)},
        {105, Address(&TpUsbCount)},
        {106, Address(&TpUsbNameLength)},
        {107, Address(&TpUsbName)},
        {108, Address(&TpSetMode)},
        {201, Address(&TpDiskInfo)},
        {202, Address(&TpListDir)},
        {203, Address(&TpFormatDisk)},
        {204, Address(&TpMakeDir)},
        {205, Address(&TpRemoveDir)},
        {206, Address(&TpRename)},
        {207, Address(&TpDeleteFile)},
        {208, Address(&TpGetFile)},
        {209, Address(&TpPutFile)},
        {302, Address(&TpGetInfo)},
        {308, Address(&TpUpgradeFirmware)},
    };
    for (const Ordinal& entry : kTable) {
        if (entry.number == ordinal) return entry.operation;
    }
    return nullptr;
}

// The program's device watcher follows this folder: a terminal added or removed there is a
// device arriving or leaving.
extern "C" [[gnu::visibility("default")]] const char* TerminalProtocolWatchFolder(void) {
    static std::string folder;
    folder = emu::BenchFolder().string();
    return folder.c_str();
}
