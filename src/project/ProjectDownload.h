#pragma once

#include "link/ConnectionSettings.h"
#include "project/ProjectFile.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class PcFileSystem;
struct Services;

// The moves of a project between the PC and terminals that the two project dialogs start:
// the download of a project file to many terminals, and the reading of a project installed on
// one terminal with the upload of its data files. Each works on values, so the dialogs only
// collect what the user checked.

// The first bytes of a project file, as much as holds its header, and the file's size.
struct ProjectHead {
    int error = 0;  // a PC code when the file could not be read
    QByteArray bytes;
    qint64 fileSize = 0;
};

ProjectHead ReadProjectHead(PcFileSystem& files, const QString& projectFile);

// Copies one member from the project file into `staging` a chunk at a time, unscrambled when
// it is stored as a program; 0 or the PC code (kPcHandleEof when the file was cut short).
int StageMember(PcFileSystem& files, const QString& projectFile, const ProjectEntry& entry,
                MemberKind storedAs, const QString& staging);

// One line of a project dialog's member lists: which member it stands for.
struct ListedMember {
    int entry = -1;  // the member's position in file order
    std::string terminalPath;
    QString displayName;
    // Why no terminal can hold it, for a line that cannot be checked; empty when it can.
    QString refusal;
};

// A project's members split into the dialogs' three lists, by display name as they are shown.
struct MemberLists {
    std::vector<ListedMember> programs;
    std::vector<ListedMember> fonts;
    std::vector<ListedMember> dataFiles;
};

MemberLists SplitMembers(const std::vector<ProjectEntry>& entries);

// The lists of the download dialog: only the first program is the program, a later one is
// listed and sent as an ordinary data file.
MemberLists SplitForDownload(const std::vector<ProjectEntry>& entries);

// How a terminal is named in the download dialog's list and in its messages.
QString TerminalItemText(const ConnectionSettings& record);

// "Needed: F/W Ver: %s, " and the reader kind's text.
QString RequirementLine(const ProjectRequirements& requirements);

// "%s\%s.prj" of the data folder and the project name.
QString ProjectFilePath(const QString& dataFolder, const QString& projectName);

// What the download dialog shows of a project file, read when it opens: only its header, and
// a member a terminal cannot hold is listed to be seen, never sent.
struct LoadedProject {
    QString error;  // the message to show, then close; empty when loaded
    ProjectRequirements requirements;
    QByteArray header;  // the bytes the lists were made from
    std::vector<ProjectEntry> entries;
};

LoadedProject LoadProject(const Services& services, const QString& dataFolder,
                          const QString& projectName);

// One press of the download dialog's "=>".
struct DownloadRequest {
    QString dataFolder;
    QString projectName;
    // As read when the dialog opened: what the lists show and the terminals are held to.
    ProjectRequirements requirements;
    QByteArray listedHeader;
    // The roster as listed, with the check of each line.
    std::vector<ConnectionSettings> terminals;
    std::vector<bool> checkedTerminals;
    // The members checked, by position in file order.
    std::vector<int> checkedMembers;
};

struct DownloadOutcome {
    bool cancelled = false;
    // Checked terminals that did not get every checked member, by position in the roster.
    std::vector<size_t> incomplete;
};

// Sends the checked members to each checked terminal in turn after its firmware version and
// model checks; a terminal that fails is reported and skipped, and the next one is served.
// Cancel is honoured between members; the terminals left short are then named.
DownloadOutcome DownloadProject(const Services& services, const DownloadRequest& request);

// A project installed on a terminal, as its information file tells.
struct InstalledProject {
    QString error;  // the message to show, then close; empty when read
    QByteArray header;
    std::vector<ProjectEntry> entries;
};

// Reads "D:\<name>.INF" from the terminal of `record` through the staging file.
InstalledProject ReadInstalledProject(const Services& services, const QString& dataFolder,
                                      const ConnectionSettings& record,
                                      const QString& projectName);

// "My Document\Tarvik\%s\%s" with the project name and the record's serial number.
QString UploadTargetText(const QString& projectName, const ConnectionSettings& record);

// Where the uploads of a project from one terminal go: data folder \ name \ serial number.
QString UploadFolder(const QString& dataFolder, const QString& projectName,
                     const ConnectionSettings& record);

struct UploadRequest {
    QString dataFolder;
    QString projectName;
    ConnectionSettings record;
    QByteArray listedHeader;  // the information file the dialog listed
    std::vector<int> checkedMembers;
};

// Copies the checked data files of the installed project into UploadFolder, each whole or
// not at all. Answers how many were copied.
int UploadDataFiles(const Services& services, const UploadRequest& request);
