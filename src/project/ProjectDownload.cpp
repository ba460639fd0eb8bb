#include "project/ProjectDownload.h"

#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"
#include "platform/WorkFolder.h"
#include "project/MemberPath.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace {

constexpr std::array<const char*, 3> kDrivePrefixes = {"C:\\", "D:\\", "E:\\"};
constexpr int kFontDrive = 1;  // fonts live in the project's folder on D:

QString Native(const std::string& text) { return QString::fromStdString(text); }

std::string TerminalString(const QString& text) { return text.toLatin1().toStdString(); }

// The checked members that a terminal can hold; any other is never sent, whatever the request.
std::vector<bool> SendableSelection(const std::vector<int>& checked,
                                    const std::vector<ProjectEntry>& entries) {
    std::vector<bool> selected = Selection(checked, entries.size());
    for (size_t index = 0; index < entries.size(); ++index) {
        if (CheckMemberPath(entries[index].terminalPath) != MemberPathProblem::None) {
            selected[index] = false;
        }
    }
    return selected;
}

// How a download lists and sends each member: by its shown name, the first program only as
// the program.
std::vector<MemberKind> DownloadKinds(const std::vector<ProjectEntry>& entries) {
    std::vector<MemberKind> kinds;
    bool programSeen = false;
    for (const ProjectEntry& entry : entries) {
        MemberKind kind = ShownKind(entry);
        if (kind == MemberKind::Program) {
            if (programSeen) kind = MemberKind::DataFile;
            programSeen = true;
        }
        kinds.push_back(kind);
    }
    return kinds;
}

int DriveOf(const std::string& terminalPath) {
    for (size_t drive = 0; drive < kDrivePrefixes.size(); ++drive) {
        if (terminalPath.starts_with(kDrivePrefixes[drive])) return static_cast<int>(drive);
    }
    return -1;
}

// The information file a terminal gets: the header without the lines of members no terminal can
// hold, which are never sent, so that it names only what the terminal has.
QByteArray InformationFileOf(const QByteArray& header) {
    const HeaderLocation location = LocateProjectHeader(header);
    if (location.firstEntry < 0 || location.error != ProjectError::None) return header;
    QByteArray text = header.left(location.firstEntry);
    const qsizetype tagSize = qsizetype(sizeof kEntryTag) - 1;
    for (qsizetype line = location.firstEntry; line < location.dataOffset;) {
        const qsizetype end = header.indexOf("\r\n", line) + 2;
        const QByteArray entry = header.mid(line, end - line);
        const QByteArray path = entry.mid(tagSize, entry.indexOf(',') - tagSize);
        if (CheckMemberPath(path.toStdString()) == MemberPathProblem::None) text += entry;
        line = end;
    }
    return text;
}

constexpr char kNoMemberSelectedText[] = "No file is selected to download!";

// One terminal's turn of a download.
enum class Turn { Served, Failed, Cancelled };

class Download {
public:
    Download(const Services& services, const DownloadRequest& request, const QString& projectFile,
             const std::vector<ProjectEntry>& entries, const QByteArray& header)
        : services_(services),
          prompter_(&services.prompter),
          request_(request),
          projectFile_(projectFile),
          entries_(entries),
          kinds_(DownloadKinds(entries)),
          information_(InformationFileOf(header)),
          selected_(SendableSelection(request.checkedMembers, entries)),
          work_(services.files, request.dataFolder),
          informationPath_(work_.FilePath(request.projectName + QStringLiteral(".inf"))),
          stagingPath_(work_.FilePath(request.projectName + QStringLiteral(".tmp"))) {}

    // The temporary files live in a folder of the run's own, so no file of the user's is
    // replaced; without it nothing can be sent.
    QString WorkFolderFault() const {
        return work_.Error() == kPcSuccess ? QString() : work_.FailureText();
    }

    // `prompter` is the one of this terminal's journal, so it learns what went wrong here.
    Turn Serve(const ConnectionSettings& record, Prompter& prompter) {
        prompter_ = &prompter;
        const QString itemText = TerminalItemText(record);
        std::optional<TerminalLink> own;
        TerminalLink& link =
            request_.openLink ? *request_.openLink : own.emplace(services_.library, record);
        if (!link) {
            Show(QStringLiteral("%1-%2 is Off-line!").arg(Native(record.model), Native(record.serialNumber)));
            return Turn::Failed;
        }
        if (!MeetsRequirements(link, record, itemText)) return Turn::Failed;
        if (entries_.empty()) return Turn::Served;
        if (const QString missing = UnfitDriveText(link, SelectedEntries(), itemText);
            !missing.isEmpty()) {
            Show(missing);
            return Turn::Failed;
        }

        // Deleted once sent, like the staged members, so a crash may lose it.
        if (const int error = services_.files.WriteWholeFile(informationPath_, information_,
                                                             Durability::Scratch)) {
            Show(CannotWriteText(informationPath_, error));
            return Turn::Failed;
        }
        const Turn turn = SendMembers(link, itemText);
        services_.files.DeleteFile(informationPath_);
        return turn;
    }

private:
    bool MeetsRequirements(TerminalLink& link, const ConnectionSettings& record,
                           const QString& itemText) {
        const ProjectRequirements& needed = request_.requirements;
        if (needed.neededVersion.empty()) return true;
        TerminalIdentity identity;
        if (link.ReadIdentity(identity) != kSuccess) {
            Show(QStringLiteral("%1-%2 some error happened!")
                     .arg(Native(record.model), Native(record.serialNumber)));
            return false;
        }
        if (FirmwareTooOld(needed.neededVersion, identity.firmware)) {
            Show(QStringLiteral("The device-%1's F/W is too old!\r\nUpgrate to %2 or newer to run "
                                "this project!")
                     .arg(itemText, Native(needed.neededVersion)));
            return false;
        }
        if (!ModelMeetsReaderKind(needed.readerKind, identity.model)) {
            return AskDownloadDespiteModel(*prompter_, itemText);
        }
        return true;
    }

    std::vector<ProjectEntry> SelectedEntries() const {
        std::vector<ProjectEntry> selected;
        for (size_t index = 0; index < entries_.size(); ++index) {
            if (selected_[index]) selected.push_back(entries_[index]);
        }
        return selected;
    }

    Turn SendMembers(TerminalLink& link, const QString& itemText) {
        std::array<bool, 3> folderMade = {false, false, false};
        for (size_t index = 0; index < entries_.size(); ++index) {
            if (!selected_[index]) continue;
            ProjectEntry entry = entries_[index];
            // Each member goes as the list it was checked in shows it.
            entry.kind = kinds_[index];
            const QString path = TerminalText(entry.terminalPath);
            if (!services_.progress.BeforeFile(TerminalText(DisplayName(entry.terminalPath)),
                                               QStringLiteral("%1 %2").arg(itemText, path),
                                               entry.size)) {
                return Turn::Cancelled;
            }
            const bool sent = MakeFolder(link, entry, folderMade) && Send(link, entry);
            services_.progress.AfterFile(sent ? entry.size : 0);
            if (!sent) return Turn::Failed;
        }
        return Turn::Served;
    }

    // The project's folder on the member's drive (fonts: on D:), once per terminal.
    bool MakeFolder(TerminalLink& link, const ProjectEntry& entry, std::array<bool, 3>& made) {
        if (entry.kind == MemberKind::Program) return true;
        const int drive = entry.kind == MemberKind::Font ? kFontDrive : DriveOf(entry.terminalPath);
        if (drive < 0 || made[static_cast<size_t>(drive)]) return true;
        made[static_cast<size_t>(drive)] = true;
        const ResultCode rc =
            link.MakeDir(kDrivePrefixes[static_cast<size_t>(drive)] + TerminalString(request_.projectName));
        if (rc == kSuccess || rc == kCreateFolderFail) return true;
        Show(ResultCodeMessage(rc));
        return false;
    }

    bool Send(TerminalLink& link, const ProjectEntry& entry) {
        // A later program is an ordinary member, but its bytes are stored as a program's.
        if (const int error =
                StageMember(services_.files, projectFile_, entry, ShownKind(entry), stagingPath_)) {
            // Cut short since its header was read.
            Show(error == kPcHandleEof ? QString::fromLatin1(ProjectErrorText(ProjectError::MemberPastEnd))
                                       : CannotWriteText(stagingPath_, error));
            return false;
        }
        bool kept = false;
        const ResultCode rc = PutMember(link, *prompter_, stagingPath_, entry, kept);
        services_.files.DeleteFile(stagingPath_);
        if (rc != kSuccess) {
            Show(entry.kind == MemberKind::Program
                     ? QStringLiteral("Download program-%1 fail!\r\n%2").arg(request_.projectName, ResultCodeMessage(rc))
                     : ResultCodeMessage(rc));
            return false;
        }
        if (entry.kind != MemberKind::Program) return true;
        // The information file makes the terminal list the project, so it follows the program.
        const ResultCode info = link.PutFile(informationPath_,
                                             TerminalInformationPath(request_.projectName), true, true);
        if (info == kSuccess) return true;
        Show(QStringLiteral("Download information file-%1 fail!\r\n%2")
                 .arg(request_.projectName, ResultCodeMessage(info)));
        return false;
    }

    void Show(const QString& text) { ShowMessage(*prompter_, text); }

    const Services& services_;
    Prompter* prompter_;
    const DownloadRequest& request_;
    const QString projectFile_;
    const std::vector<ProjectEntry>& entries_;
    const std::vector<MemberKind> kinds_;
    const QByteArray information_;
    const std::vector<bool> selected_;
    WorkFolder work_;
    const QString informationPath_;
    const QString stagingPath_;
};

}  // namespace

ProjectHead ReadProjectHead(PcFileSystem& files, const QString& projectFile) {
    ProjectHead head;
    head.error = files.ReadFilePart(projectFile, 0, kMaxProjectHeaderBytes, head.bytes, head.fileSize);
    return head;
}

int PutMember(TerminalLink& link, Prompter& prompter, const QString& staging,
              const ProjectEntry& entry, bool& kept) {
    kept = false;
    if (entry.kind != MemberKind::DataFile) return link.PutFile(staging, entry.terminalPath, true);
    const ResultCode rc = link.PutFile(staging, entry.terminalPath, false);
    if (rc != kFileAlreadyExists) return rc;
    if (AskOverwrite(prompter, TerminalText(entry.terminalPath))) {
        return link.PutFile(staging, entry.terminalPath, true);
    }
    kept = true;
    return kSuccess;
}

QString UnfitDriveText(TerminalLink& link, const std::vector<ProjectEntry>& members,
                       const QString& terminal) {
    std::map<char, qint64> bytesByDrive;
    for (const ProjectEntry& member : members) {
        if (!member.terminalPath.empty()) bytesByDrive[member.terminalPath.front()] += member.size;
    }
    for (const auto& [drive, bytes] : bytesByDrive) {
        int32_t capacityKB = 0;
        int32_t freeKB = 0;
        const ResultCode rc = link.DiskInfo(std::string{drive, ':', '\\'}, capacityKB, freeKB);
        if (rc == kInvalidDisk) {
            const auto first =
                std::find_if(members.begin(), members.end(), [drive](const ProjectEntry& member) {
                    return !member.terminalPath.empty() && member.terminalPath.front() == drive;
                });
            return QStringLiteral("%1 has no drive %2: for %3, so nothing of the project was sent.")
                .arg(terminal, QChar::fromLatin1(drive), TerminalText(first->terminalPath));
        }
        // The drive's whole size, not what is free: files of an earlier download are replaced.
        if (rc == kSuccess && capacityKB > 0 && bytes > qint64(capacityKB) * 1024) {
            return QStringLiteral(
                       "%1's drive %2: holds %3 KB, less than the %4 KB of the project's "
                       "members there, so nothing of the project was sent.")
                .arg(terminal, QChar::fromLatin1(drive))
                .arg(capacityKB)
                .arg((bytes + 1023) / 1024);
        }
    }
    return {};
}

int StageMember(PcFileSystem& files, const QString& projectFile, const ProjectEntry& entry,
                MemberKind storedAs, const QString& staging) {
    ChunkFilter unscramble;
    if (storedAs == MemberKind::Program) {
        unscramble = [](char* bytes, qsizetype count, qint64 at) {
            UnscrambleProgram(bytes, count, at);
            return kPcSuccess;
        };
    }
    // Deleted once it is on the terminal: a crash leaves only the work folder, swept later.
    return files.CopyFileRange(projectFile, entry.offset, entry.size, staging, unscramble,
                               Durability::Scratch);
}

MemberLists SplitForDownload(const std::vector<ProjectEntry>& entries) {
    return SplitMembers(entries, DownloadKinds(entries));
}

QString TerminalItemText(const ConnectionSettings& record) {
    if (NamesUsbTerminal(record.portName)) return QStringLiteral("USB-%1").arg(Native(record.portName));
    return QStringLiteral("%1-%2-%3")
        .arg(Native(record.portName), Native(record.model), Native(record.serialNumber));
}

QString RequirementLine(const ProjectRequirements& requirements) {
    return QStringLiteral("Needed: F/W Ver: %1, %2")
        .arg(Native(requirements.neededVersion),
             QString::fromLatin1(ReaderKindText(requirements.readerKind)));
}

QString ProjectFilePath(const QString& dataFolder, const QString& projectName) {
    return QStringLiteral("%1/%2.prj").arg(dataFolder, projectName);
}

ListedProject LoadProject(const Services& services, const QString& dataFolder,
                          const QString& projectName) {
    ListedProject project;
    const ProjectHead head = ReadProjectHead(services.files, ProjectFilePath(dataFolder, projectName));
    if (head.error != kPcSuccess) {
        project.error = kProjectMissingText;
        return project;
    }
    if (const ProjectCheck check = CheckProjectFormat(head.bytes, head.fileSize);
        check.error != ProjectError::None) {
        project.error = Native(ProjectCheckText(check));
        return project;
    }
    ParseProjectRequirements(head.bytes, project.requirements);
    ProjectEntries read = ReadProjectEntries(head.bytes, head.fileSize);
    project.header = Fingerprint(head.bytes, read);
    project.entries = std::move(read.entries);
    return project;
}

DownloadOutcome DownloadProject(const Services& services, const DownloadRequest& request) {
    DownloadOutcome outcome;
    const QString projectFile = ProjectFilePath(request.dataFolder, request.projectName);
    const size_t count = std::min(request.terminals.size(), request.checkedTerminals.size());
    // Each checked terminal gets its journal line, even when the project never left the PC.
    const auto refuseAll = [&](const QString& text) {
        ShowMessage(services.prompter, text);
        for (size_t k = 0; k < count; ++k) {
            if (request.checkedTerminals[k])
                OperationJournal(services, request.terminals[k], QStringLiteral("download"), {projectFile})
                    .Finish(false, text);
        }
        return outcome;
    };
    const ProjectHead head = ReadProjectHead(services.files, projectFile);
    if (head.error != kPcSuccess) return refuseAll(kProjectFileMissingText);
    // Nothing of a damaged file goes anywhere, and a file that changed under the dialog would
    // send other members than the ones checked.
    if (const ProjectCheck check = CheckProjectFormat(head.bytes, head.fileSize);
        check.error != ProjectError::None) {
        return refuseAll(Native(ProjectCheckText(check)));
    }
    const ProjectEntries read = ReadProjectEntries(head.bytes, head.fileSize);
    const QByteArray header = Fingerprint(head.bytes, read);
    if (header != request.listedHeader) return refuseAll(kProjectChangedText);

    Download download(services, request, projectFile, read.entries, header);
    if (const QString fault = download.WorkFolderFault(); !fault.isEmpty()) return refuseAll(fault);
    bool anyTerminal = false;
    const bool anyMember = AnySelected(SendableSelection(request.checkedMembers, read.entries));
    for (size_t k = 0; k < count; ++k) {
        if (!request.checkedTerminals[k]) continue;
        anyTerminal = true;
        OperationJournal journal(services, request.terminals[k], QStringLiteral("download"), {projectFile});
        if (outcome.cancelled) {
            outcome.incomplete.push_back(k);
            journal.Finish(false, QString::fromLatin1(kJournalCancelledText));
            continue;
        }
        const Turn turn = download.Serve(request.terminals[k], journal.Work().prompter);
        if (turn != Turn::Served) outcome.incomplete.push_back(k);
        outcome.cancelled = turn == Turn::Cancelled;
        QString detail;
        if (outcome.cancelled) {
            detail = QString::fromLatin1(kJournalCancelledText);
        } else if (turn == Turn::Failed && !journal.Told()) {
            detail = QStringLiteral("Not sent to another model.");  // the only refusal not shown
        } else if (turn == Turn::Served && !anyMember) {
            detail = QString::fromLatin1(kNoMemberSelectedText);  // told once, after the run
        }
        journal.Finish(turn == Turn::Served && anyMember, detail);
    }

    if (outcome.cancelled) {
        // A run for one terminal is a worker's: its parent names the terminals left short, once.
        if (request.terminals.size() > 1) {
            QStringList names;
            for (const size_t k : outcome.incomplete)
                names << TerminalItemText(request.terminals[k]);
            ShowMessage(
                services.prompter,
                QStringLiteral("Download cancelled. These terminals did not receive the whole "
                               "selection:\r\n%1")
                    .arg(names.join(QStringLiteral("\r\n"))));
        }
    } else if (!anyTerminal) {
        ShowMessage(services.prompter, QStringLiteral("No Terminal is selected to download!"));
    } else if (!anyMember) {
        ShowMessage(services.prompter, kNoMemberSelectedText);
    }
    return outcome;
}
