#include "project/ProjectDownload.h"

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

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <array>

namespace {

constexpr char kProjectMissing[] = "This project is not exist!";
constexpr char kProjectFileMissing[] = "Project file is not exist!";
constexpr char kProjectChanged[] =
    "The project file has changed since its members were listed. Open its properties again.";
constexpr char kInstalledChanged[] =
    "The project on the terminal has changed since its members were listed. Open its "
    "properties again.";
constexpr std::array<const char*, 3> kDrivePrefixes = {"C:\\", "D:\\", "E:\\"};
constexpr int kFontDrive = 1;  // fonts live in the project's folder on D:

QString Native(const std::string& text) { return QString::fromStdString(text); }

std::string TerminalString(const QString& text) { return text.toLatin1().toStdString(); }

QString SystemErrorText(const QString& path, int code) {
    return QStringLiteral("Cannot write %1 (System error Code:%2).").arg(path).arg(code);
}

// The terminal finds names without regard to case but lists a project only by an extension
// of exactly "INF", as its own file system would store it.
std::string TerminalInformationPath(const QString& projectName) {
    return "D:\\" + TerminalString(projectName) + ".INF";
}

// What the lists were made from: the header, or the whole file when it has no members (then
// no longer than its header), so that a changed requirement is seen too.
QByteArray Fingerprint(const QByteArray& file, const ProjectEntries& read) {
    return read.entries.empty() ? file : file.left(read.dataOffset);
}

std::vector<bool> Selection(const std::vector<int>& checked, size_t count) {
    std::vector<bool> selected(count, false);
    for (const int entry : checked) {
        if (entry >= 0 && static_cast<size_t>(entry) < count) selected[static_cast<size_t>(entry)] = true;
    }
    return selected;
}

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

bool AnySelected(const std::vector<bool>& selected) {
    return std::find(selected.begin(), selected.end(), true) != selected.end();
}

MemberKind ShownKind(const ProjectEntry& entry) { return MemberKindOf(DisplayName(entry.terminalPath)); }

QString Refusal(const std::string& terminalPath) {
    const MemberPathProblem problem = CheckMemberPath(terminalPath);
    if (problem == MemberPathProblem::None) return {};
    return QStringLiteral("A terminal cannot hold %1: %2.")
        .arg(TerminalText(terminalPath), QString::fromLatin1(MemberPathProblemText(problem)));
}

MemberLists Split(const std::vector<ProjectEntry>& entries, const std::vector<MemberKind>& kinds) {
    MemberLists lists;
    for (size_t index = 0; index < entries.size(); ++index) {
        const std::string& path = entries[index].terminalPath;
        ListedMember member{static_cast<int>(index), path, TerminalText(DisplayName(path)),
                            Refusal(path)};
        switch (kinds[index]) {
            case MemberKind::Program: lists.programs.push_back(std::move(member)); break;
            case MemberKind::Font: lists.fonts.push_back(std::move(member)); break;
            case MemberKind::DataFile: lists.dataFiles.push_back(std::move(member)); break;
        }
    }
    return lists;
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

// The first fault of an information file read back from a terminal, as a message; empty when
// it may be listed.
QString InformationFileFault(const QByteArray& text, const ProjectEntries& read,
                             const QString& projectName) {
    ProjectCheck check;
    ProjectRequirements ignored;
    if (const auto requirements = ParseProjectRequirements(text, ignored);
        requirements.error != ProjectError::None) {
        check = {requirements.error, -1, {}};
    } else if (read.error != ProjectError::None) {
        check = {read.error, read.errorEntry, {}};
    } else {
        for (size_t index = 0; index < read.entries.size(); ++index) {
            const std::string& path = read.entries[index].terminalPath;
            if (CheckMemberPath(path) != MemberPathProblem::None) {
                check = {ProjectError::InvalidMemberPath, static_cast<int>(index), path};
                break;
            }
        }
    }
    if (check.error == ProjectError::None) return {};
    return QStringLiteral("%1: %2").arg(TerminalText(TerminalInformationPath(projectName)),
                                        Native(ProjectCheckText(check)));
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

// One terminal's turn of a download.
enum class Turn { Served, Failed, Cancelled };

class Download {
public:
    Download(const Services& services, const DownloadRequest& request, const QString& projectFile,
             const std::vector<ProjectEntry>& entries, const QByteArray& header)
        : services_(services),
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
    bool HasWorkFolder() {
        if (work_.Error() == kPcSuccess) return true;
        Show(work_.FailureText());
        return false;
    }

    Turn Serve(const ConnectionSettings& record) {
        const QString itemText = TerminalItemText(record);
        TerminalLink link(services_.library, record);
        if (!link) {
            Show(QStringLiteral("%1-%2 is Off-line!").arg(Native(record.model), Native(record.serialNumber)));
            return Turn::Failed;
        }
        if (!MeetsRequirements(link, record, itemText)) return Turn::Failed;
        if (entries_.empty()) return Turn::Served;

        if (const int error = services_.files.WriteWholeFile(informationPath_, information_)) {
            Show(SystemErrorText(informationPath_, error));
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
            return AskDownloadDespiteModel(services_.prompter, itemText);
        }
        return true;
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
                                       : SystemErrorText(stagingPath_, error));
            return false;
        }
        const ResultCode rc =
            link.PutFile(stagingPath_, entry.terminalPath, true);
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

    void Show(const QString& text) { ShowMessage(services_.prompter, text); }

    const Services& services_;
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

int StageMember(PcFileSystem& files, const QString& projectFile, const ProjectEntry& entry,
                MemberKind storedAs, const QString& staging) {
    ChunkFilter unscramble;
    if (storedAs == MemberKind::Program) {
        unscramble = [](char* bytes, qsizetype count, qint64 at) {
            UnscrambleProgram(bytes, count, at);
            return kPcSuccess;
        };
    }
    return files.CopyFileRange(projectFile, entry.offset, entry.size, staging, unscramble);
}

MemberLists SplitMembers(const std::vector<ProjectEntry>& entries) {
    std::vector<MemberKind> kinds;
    for (const ProjectEntry& entry : entries) kinds.push_back(ShownKind(entry));
    return Split(entries, kinds);
}

MemberLists SplitForDownload(const std::vector<ProjectEntry>& entries) {
    return Split(entries, DownloadKinds(entries));
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

LoadedProject LoadProject(const Services& services, const QString& dataFolder,
                          const QString& projectName) {
    LoadedProject project;
    const ProjectHead head = ReadProjectHead(services.files, ProjectFilePath(dataFolder, projectName));
    if (head.error != kPcSuccess) {
        project.error = kProjectMissing;
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
    const ProjectHead head = ReadProjectHead(services.files, projectFile);
    if (head.error != kPcSuccess) {
        ShowMessage(services.prompter, kProjectFileMissing);
        return outcome;
    }
    // Nothing of a damaged file goes anywhere, and a file that changed under the dialog would
    // send other members than the ones checked.
    if (const ProjectCheck check = CheckProjectFormat(head.bytes, head.fileSize);
        check.error != ProjectError::None) {
        ShowMessage(services.prompter, Native(ProjectCheckText(check)));
        return outcome;
    }
    const ProjectEntries read = ReadProjectEntries(head.bytes, head.fileSize);
    const QByteArray header = Fingerprint(head.bytes, read);
    if (header != request.listedHeader) {
        ShowMessage(services.prompter, kProjectChanged);
        return outcome;
    }

    Download download(services, request, projectFile, read.entries, header);
    if (!download.HasWorkFolder()) return outcome;
    bool anyTerminal = false;
    const size_t count = std::min(request.terminals.size(), request.checkedTerminals.size());
    for (size_t k = 0; k < count; ++k) {
        if (!request.checkedTerminals[k]) continue;
        anyTerminal = true;
        if (outcome.cancelled) {
            outcome.incomplete.push_back(k);
            continue;
        }
        const Turn turn = download.Serve(request.terminals[k]);
        if (turn != Turn::Served) outcome.incomplete.push_back(k);
        outcome.cancelled = turn == Turn::Cancelled;
    }

    if (outcome.cancelled) {
        QStringList names;
        for (const size_t k : outcome.incomplete) names << TerminalItemText(request.terminals[k]);
        ShowMessage(services.prompter,
                    QStringLiteral("Download cancelled. These terminals did not receive the whole "
                                   "selection:\r\n%1")
                        .arg(names.join(QStringLiteral("\r\n"))));
    } else if (!anyTerminal) {
        ShowMessage(services.prompter, QStringLiteral("No Terminal is selected to download!"));
    } else if (!AnySelected(SendableSelection(request.checkedMembers, read.entries))) {
        ShowMessage(services.prompter, QStringLiteral("No file is selected to download!"));
    }
    return outcome;
}

InstalledProject ReadInstalledProject(const Services& services, const QString& dataFolder,
                                      const ConnectionSettings& record,
                                      const QString& projectName) {
    InstalledProject project;
    if (!IsPlainFileName(projectName)) {
        project.error = QStringLiteral("The project name \"%1\" read from the terminal cannot name "
                                       "a file on the PC.")
                            .arg(projectName);
        return project;
    }
    TerminalLink link(services.library, record);
    if (!link) {
        project.error = kDeviceOfflineText;
        return project;
    }
    WorkFolder work(services.files, dataFolder);
    if (work.Error() != kPcSuccess) {
        project.error = work.FailureText();
        return project;
    }
    const QString staging = work.FilePath(projectName + QStringLiteral(".tmp"));
    // A transfer that failed leaves no staging file, which the reading below reports.
    link.GetFile(TerminalInformationPath(projectName), staging, true);
    link.Close();
    QByteArray text;
    const int read = services.files.ReadWholeFile(staging, text);
    services.files.DeleteFile(staging);
    if (read != kPcSuccess) {
        project.error = kProjectMissing;
        return project;
    }
    ProjectEntries entries = ReadProjectEntries(text, EntrySource::InformationFile);
    project.error = InformationFileFault(text, entries, projectName);
    if (!project.error.isEmpty()) return project;
    project.header = Fingerprint(text, entries);
    project.entries = std::move(entries.entries);
    return project;
}

QString UploadTargetText(const QString& projectName, const ConnectionSettings& record) {
    return QStringLiteral("My Document\\Tarvik\\%1\\%2").arg(projectName, TerminalText(record.serialNumber));
}

QString UploadFolder(const QString& dataFolder, const QString& projectName,
                     const ConnectionSettings& record) {
    return QStringLiteral("%1/%2/%3").arg(dataFolder, projectName, TerminalText(record.serialNumber));
}

namespace {

// Makes `folder` when it is missing; answers whether it is now a real folder, not a link.
bool EnsureFolder(PcFileSystem& files, const QString& folder) {
    files.CreateFolder(folder);
    const std::optional<PcEntry> entry = files.Stat(folder);
    return entry && entry->folder && !entry->symbolicLink;
}

}  // namespace

int UploadDataFiles(const Services& services, const UploadRequest& request) {
    const auto show = [&](const QString& text) { ShowMessage(services.prompter, text); };
    if (!IsPlainFileName(request.projectName)) {
        show(QStringLiteral("The project name \"%1\" read from the terminal cannot name a folder on "
                            "the PC.")
                 .arg(request.projectName));
        return 0;
    }
    TerminalLink link(services.library, request.record);
    if (!link) {
        show(kDeviceOfflineText);
        return 0;
    }
    WorkFolder work(services.files, request.dataFolder);
    if (work.Error() != kPcSuccess) {
        show(work.FailureText());
        return 0;
    }
    const QString staging = work.FilePath(request.projectName + QStringLiteral(".tmp"));
    if (const ResultCode rc = link.GetFile(TerminalInformationPath(request.projectName),
                                                 staging, true);
        rc != kSuccess) {
        services.files.DeleteFile(staging);
        show(ResultCodeMessage(rc));
        return 0;
    }
    QByteArray text;
    const int read = services.files.ReadWholeFile(staging, text);
    services.files.DeleteFile(staging);
    if (read != kPcSuccess) {
        show(kProjectFileMissing);
        return 0;
    }
    const ProjectEntries entries = ReadProjectEntries(text, EntrySource::InformationFile);
    if (const QString fault = InformationFileFault(text, entries, request.projectName); !fault.isEmpty()) {
        show(fault);
        return 0;
    }
    if (Fingerprint(text, entries) != request.listedHeader) {
        show(kInstalledChanged);
        return 0;
    }

    // Only what the Data File list offers can be asked for.
    std::vector<bool> selected(entries.entries.size(), false);
    const std::vector<bool> checked = Selection(request.checkedMembers, entries.entries.size());
    bool anySelected = false;
    for (const ListedMember& member : SplitMembers(entries.entries).dataFiles) {
        const auto index = static_cast<size_t>(member.entry);
        selected[index] = checked[index];
        anySelected = anySelected || checked[index];
    }
    if (!anySelected) {
        link.Close();
        show(QStringLiteral("No file is selected!"));
        return 0;
    }

    // Members of one name in different folders would land on one file, the second over the
    // first.
    for (size_t index = 0; index < entries.entries.size(); ++index) {
        if (!selected[index]) continue;
        const std::string& path = entries.entries[index].terminalPath;
        for (size_t later = index + 1; later < entries.entries.size(); ++later) {
            const std::string& other = entries.entries[later].terminalPath;
            if (selected[later] && TerminalText(DisplayName(path))
                                           .compare(TerminalText(DisplayName(other)), Qt::CaseInsensitive) == 0) {
                show(QStringLiteral("%1 and %2 would both be saved as %3. Check only one of them.")
                         .arg(TerminalText(path), TerminalText(other), TerminalText(DisplayName(path))));
                return 0;
            }
        }
    }

    const QString serial = TerminalText(request.record.serialNumber);
    if (!IsPlainFileName(serial)) {
        show(QStringLiteral("The serial number \"%1\" read from the terminal cannot name a folder "
                            "on the PC.")
                 .arg(serial));
        return 0;
    }
    const QString projectFolder = QStringLiteral("%1/%2").arg(request.dataFolder, request.projectName);
    const QString folder = UploadFolder(request.dataFolder, request.projectName, request.record);
    for (const QString& needed : {projectFolder, folder}) {
        if (!EnsureFolder(services.files, needed)) {
            show(QStringLiteral("Cannot make the folder %1.").arg(needed));
            return 0;
        }
    }

    int uploaded = 0;
    for (size_t index = 0; index < entries.entries.size(); ++index) {
        if (!selected[index]) continue;
        const ProjectEntry& entry = entries.entries[index];
        const QString name = TerminalText(DisplayName(entry.terminalPath));
        if (!IsPlainFileName(name)) {
            show(QStringLiteral("The file name \"%1\" read from the terminal cannot name a file on "
                                "the PC.")
                     .arg(name));
            break;
        }
        const QString target = folder + u'/' + name;
        if (const auto existing = services.files.Stat(target);
            existing && (existing->folder || existing->symbolicLink)) {
            show(QStringLiteral("%1 is not a plain file; nothing is written through it.").arg(target));
            break;
        }
        if (!services.progress.BeforeFile(TerminalText(entry.terminalPath), target, entry.size)) break;
        services.files.DeleteFile(staging);
        const ResultCode rc = link.GetFile(entry.terminalPath, staging);
        QByteArray content;
        int error = rc == kSuccess ? services.files.ReadWholeFile(staging, content) : kPcSuccess;
        // The file appears at its place whole, or the old one stays.
        if (rc == kSuccess && error == kPcSuccess) error = services.files.WriteWholeFile(target, content);
        services.files.DeleteFile(staging);
        services.progress.AfterFile(rc == kSuccess && error == kPcSuccess ? content.size() : 0);
        if (rc != kSuccess) {
            show(ResultCodeMessage(rc));
            break;
        }
        if (error != kPcSuccess) {
            show(SystemErrorText(target, error));
            break;
        }
        ++uploaded;
    }
    return uploaded;
}
