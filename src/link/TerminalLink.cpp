#include "link/TerminalLink.h"

#include "link/TerminalLibrary.h"
#include "platform/Progress.h"

#include <QFile>
#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_longSteps{0};

// A step that may block for long goes through the installed progress, which may keep a window
// alive meanwhile.
template <typename Call>
ResultCode RunLongStep(Call call) {
    ResultCode rc = 0;
    ++g_longSteps;
    InstalledProgress().RunLong([&] { rc = call(); });
    --g_longSteps;
    return rc;
}

// A module may leave an identity buffer without its NUL; read at most the buffer's size.
std::string BufferText(const char* buffer) {
    return std::string(buffer, strnlen(buffer, kIdentityBufferSize));
}

}  // namespace

bool LibraryBusy() { return g_longSteps > 0; }

TerminalLink::TerminalLink(TerminalLibrary& library, const ConnectionSettings& record)
    : TerminalLink(library, ParsePort(library, record.portName), record.baudCode) {}

TerminalLink::TerminalLink(TerminalLibrary& library, const std::optional<PortAddress>& address,
                           int32_t baudCode)
    : library_(library), handle_(OpenLink(library, address, baudCode)) {}

TerminalLink::~TerminalLink() { Close(); }

void TerminalLink::Close() {
    if (handle_ != 0) library_.TpClose(handle_);
    handle_ = 0;
}

ResultCode TerminalLink::ReadIdentity(TerminalIdentity& identity) {
    char buffers[8][kIdentityBufferSize] = {};
    const ResultCode rc = library_.TpGetInfo(handle_, buffers[0], buffers[1], buffers[2],
                                             buffers[3], buffers[4], buffers[5], buffers[6],
                                             buffers[7]);
    if (rc != kSuccess) return rc;
    identity.model = BufferText(buffers[0]);
    identity.firmware = BufferText(buffers[1]);
    identity.serialNumber = BufferText(buffers[2]);
    return rc;
}

ResultCode TerminalLink::ListFolder(const std::string& folder,
                                    std::vector<DirectoryEntry>& entries, int32_t* reported) {
    std::vector<uint8_t> buffer(kListingBufferSize, 0);
    int32_t count = 0;
    int32_t size = kListingBufferSize;
    const ResultCode rc = library_.TpListDir(handle_, folder.c_str(), &count, buffer.data(), &size);
    entries.clear();
    if (reported) *reported = rc == kSuccess ? count : 0;
    if (rc != kSuccess) return rc;
    DecodeListing(buffer.data(), count, entries);
    return rc;
}

ResultCode TerminalLink::DiskInfo(const std::string& drive, int32_t& capacityKB, int32_t& freeKB) {
    int32_t other = 0;
    return library_.TpDiskInfo(handle_, drive.c_str(), &capacityKB, &other, &freeKB);
}

ResultCode TerminalLink::FormatDisk(const std::string& drive) {
    return RunLongStep([&] { return library_.TpFormatDisk(handle_, drive.c_str()); });
}

ResultCode TerminalLink::MakeDir(const std::string& folder) {
    return library_.TpMakeDir(handle_, folder.c_str());
}

ResultCode TerminalLink::RemoveDir(const std::string& folder) {
    return library_.TpRemoveDir(handle_, folder.c_str());
}

ResultCode TerminalLink::Rename(const std::string& oldPath, const std::string& newName) {
    return library_.TpRename(handle_, oldPath.c_str(), newName.c_str());
}

ResultCode TerminalLink::DeleteFile(const std::string& path) {
    return library_.TpDeleteFile(handle_, path.c_str());
}

ResultCode TerminalLink::GetFile(const std::string& terminalPath, const QString& pcPath,
                                 bool informationFile) {
    const QByteArray path = QFile::encodeName(pcPath);
    return RunLongStep([&] {
        return library_.TpGetFile(handle_, terminalPath.c_str(), path.constData(),
                                  informationFile ? 0 : 1);
    });
}

ResultCode TerminalLink::PutFile(const QString& pcPath, const std::string& terminalPath,
                                 bool overwrite, bool informationFile) {
    const QByteArray path = QFile::encodeName(pcPath);
    return RunLongStep([&] {
        return library_.TpPutFile(handle_, path.constData(), terminalPath.c_str(),
                                  overwrite ? 1 : 0, informationFile ? 0 : 1);
    });
}

ResultCode TerminalLink::UpgradeFirmware(const QString& imagePath) {
    // The library opens the file itself, so it gets the path as the file system spells it.
    const QByteArray path = QFile::encodeName(imagePath);
    return RunLongStep([&] { return library_.TpUpgradeFirmware(handle_, path.constData(), 1); });
}
