#pragma once

#include "link/ConnectionSettings.h"
#include "project/ProjectLists.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class PcFileSystem;
struct Services;

// The download of a project file to many terminals that the download dialog starts. It works on
// values, so the dialog only collects what the user checked.

// The first bytes of a project file, as much as holds its header, and the file's size.
struct ProjectHead {
    int error = 0;  // a PC code when the file could not be read
    QByteArray bytes;
    qint64 fileSize = 0;
};

ProjectHead ReadProjectHead(PcFileSystem& files, const QString& projectFile);

// Copies one member from the project file into `staging` a chunk at a time, unscrambled when
// it is stored as a program, as a scratch file that is not synced; 0 or the PC code
// (kPcHandleEof when the file was cut short).
int StageMember(PcFileSystem& files, const QString& projectFile, const ProjectEntry& entry,
                MemberKind storedAs, const QString& staging);

class Prompter;
class TerminalLink;

// Sends one staged member. A data file the terminal already holds may carry what was collected
// on it since: it is replaced only when the user agrees, else kept as it is (`kept`, and 0).
int PutMember(TerminalLink& link, Prompter& prompter, const QString& staging,
              const ProjectEntry& entry, bool& kept);

// What keeps the members from a terminal before anything is sent: a drive they go to that it
// lacks (an older model has no E:), or one too small ever to hold them. A project half sent
// shows as installed with members missing. Empty when every drive can take its members.
QString UnfitDriveText(TerminalLink& link, const std::vector<ProjectEntry>& members,
                       const QString& terminal);

// The lists of the download dialog: only the first program is the program, a later one is
// listed and sent as an ordinary data file.
MemberLists SplitForDownload(const std::vector<ProjectEntry>& entries);

// How a terminal is named in the download dialog's list and in its messages.
QString TerminalItemText(const ConnectionSettings& record);

// "Needed: F/W Ver: %s, " and the reader kind's text.
QString RequirementLine(const ProjectRequirements& requirements);

// "%s\%s.prj" of the data folder and the project name.
QString ProjectFilePath(const QString& dataFolder, const QString& projectName);

// What the download dialog lists of a project file, read when it opens: only its header, and a
// member a terminal cannot hold is listed to be seen, never sent.
ListedProject LoadProject(const Services& services, const QString& dataFolder,
                          const QString& projectName);

inline constexpr char kProjectChangedText[] =
    "The project file has changed since its members were listed. Open its properties again.";

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
    // A link already open to the one terminal of the roster, used instead of opening another:
    // a worker that identified the terminal on it need not reach it twice.
    TerminalLink* openLink = nullptr;
};

struct DownloadOutcome {
    bool cancelled = false;
    // Checked terminals that did not get every checked member, by position in the roster.
    std::vector<size_t> incomplete;
};

// Sends the checked members to each checked terminal in turn after its firmware version and
// model checks; a terminal that fails is reported and skipped, and the next one is served.
// Cancel is honoured between members; the terminals left short are then named. Each checked
// terminal gets its "download" journal line, also when the project never left the PC.
DownloadOutcome DownloadProject(const Services& services, const DownloadRequest& request);
