#pragma once

#include "link/ConnectionSettings.h"
#include "link/DirectoryListing.h"
#include "link/PortParsing.h"
#include "link/ResultCodes.h"
#include "link/TerminalIdentity.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TerminalLibrary;

// True while a long step (a file, a format, an upgrade) is inside the library, perhaps on a
// thread of its own: the library takes one caller at a time, so others wait until it is not.
bool LibraryBusy();

// One open link to one terminal, closed on the library that opened it when it leaves scope,
// so no link outlives the command that opened it. PC paths are handed to the library as the
// file system spells them.
class TerminalLink {
public:
    // Opens a link to the terminal a record names; false when it cannot be reached.
    TerminalLink(TerminalLibrary& library, const ConnectionSettings& record);
    TerminalLink(TerminalLibrary& library, const std::optional<PortAddress>& address,
                 int32_t baudCode);
    ~TerminalLink();
    TerminalLink(const TerminalLink&) = delete;
    TerminalLink& operator=(const TerminalLink&) = delete;

    explicit operator bool() const { return handle_ != 0; }
    uint32_t Handle() const { return handle_; }
    void Close();

    // The identity is untouched unless the result is 0.
    ResultCode ReadIdentity(TerminalIdentity& identity);
    // Whatever count the module reports, no more entries are read than the buffer holds;
    // `reported` gets the module's own count, which may be more.
    ResultCode ListFolder(const std::string& folder, std::vector<DirectoryEntry>& entries,
                          int32_t* reported = nullptr);
    ResultCode DiskInfo(const std::string& drive, int32_t& capacityKB, int32_t& freeKB);
    ResultCode FormatDisk(const std::string& drive);
    ResultCode MakeDir(const std::string& folder);
    ResultCode RemoveDir(const std::string& folder);
    ResultCode Rename(const std::string& oldPath, const std::string& newName);
    ResultCode DeleteFile(const std::string& path);
    ResultCode GetFile(const std::string& terminalPath, const QString& pcPath,
                       bool informationFile = false);
    // A project's information file travels with the library's transfer flag clear, everything
    // else with it set.
    ResultCode PutFile(const QString& pcPath, const std::string& terminalPath, bool overwrite,
                       bool informationFile = false);
    ResultCode UpgradeFirmware(const QString& imagePath);

private:
    TerminalLibrary& library_;
    uint32_t handle_ = 0;
};
