#pragma once

#include "link/ResultCodes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

struct ConnectionSettings;
struct Services;

// Each operation on a terminal below appends its one journal line ("put", "rm", "mkdir",
// "format"), whatever program runs it.

// A PC file or folder on its way to a terminal.
struct PcSource {
    QString path;
    bool folder = false;
};

// What a paste onto a terminal did, for the trees to follow.
struct TerminalPasteResult {
    bool reached = false;        // false: the terminal did not answer and nothing was done
    ResultCode stop = kSuccess;  // the failure that ended the walk; the target is then stale
    bool cancelled = false;      // stopped between two files
    QStringList removedFromPc;   // PC files and folders a move took away, in the order it did
};

// Whether a file inside a pasted folder has the 8.3 shape that the folder copy sends.
bool IsShortFileName(const QString& name);

// Copies, or moves when `copy` is false, PC files and folders into the terminal drive or
// folder `targetFolder`, asking before a single file replaces one on the terminal. A PC file
// goes only after the terminal holds it whole, and a PC folder only once it is empty.
TerminalPasteResult PasteToTerminal(const Services& services, const ConnectionSettings& settings,
                                    const QList<PcSource>& sources, const std::string& targetFolder,
                                    bool copy);

// Deletes a terminal file or empty folder; true when it is gone. `beforeRefusal` runs just
// before a refusal is shown, so the tree can point at the item meanwhile.
bool DeleteOnTerminal(const Services& services, const ConnectionSettings& settings,
                      const std::string& path, bool folder,
                      const std::function<void()>& beforeRefusal = {});

// Makes the folder `name` in a terminal drive or folder; true when it was made.
bool MakeTerminalFolder(const Services& services, const ConnectionSettings& settings,
                        const std::string& parent, const std::string& name);

// Formats a terminal drive ("C:\"); true when done. `relist` reads the drive again before the
// done message is shown.
bool FormatTerminalDrive(const Services& services, const ConnectionSettings& settings,
                         const std::string& drive, const std::function<void()>& relist = {});
