#include "project/ProjectUpload.h"

#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/DirectoryListing.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"
#include "platform/WorkFolder.h"
#include "project/MemberPath.h"

#include <algorithm>
#include <optional>

namespace {

constexpr char kInstalledChanged[] =
    "The project on the terminal has changed since its members were listed. Open its "
    "properties again.";

// A name read from the terminal that cannot be one component of a PC path: `what` is the
// kind of name, `kind` what it was to name.
QString UnnameableText(const char* what, const QString& name, const char* kind) {
    return QStringLiteral("The %1 \"%2\" read from the terminal cannot name a %3 on the PC.")
        .arg(QLatin1String(what), name, QLatin1String(kind));
}

ListedProject Unlisted(const QString& error) {
    ListedProject project;
    project.error = error;
    return project;
}

// What an information file read back from a terminal lists; only its first fault, as the
// error, when it is not to be listed.
ListedProject ListInformationFile(const QByteArray& text, const QString& projectName) {
    ListedProject project;
    ProjectEntries read = ReadProjectEntries(text, EntrySource::InformationFile);
    ProjectCheck check;
    if (const auto requirements = ParseProjectRequirements(text, project.requirements);
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
    if (check.error != ProjectError::None) {
        return Unlisted(
            QStringLiteral("%1: %2").arg(TerminalText(TerminalInformationPath(projectName)),
                                         QString::fromStdString(ProjectCheckText(check))));
    }
    project.header = Fingerprint(text, read);
    project.entries = std::move(read.entries);
    return project;
}

// The information file of an installed project, fetched from the terminal and read back.
struct FetchedInformation {
    ResultCode transfer = kSuccess;
    int read = kPcSuccess;  // the PC code of reading the staged copy
    ListedProject project;  // what it lists, once read
};

// The terminal's file travels through `staging`, which is gone again afterwards.
FetchedInformation FetchInformationFile(PcFileSystem& files, TerminalLink& link,
                                        const QString& staging, const QString& projectName) {
    FetchedInformation fetched;
    fetched.transfer = link.GetFile(TerminalInformationPath(projectName), staging, true);
    // A transfer that failed leaves no staging file, which the reading reports.
    QByteArray text;
    fetched.read = files.ReadWholeFile(staging, text);
    files.DeleteFile(staging);
    if (fetched.read == kPcSuccess) fetched.project = ListInformationFile(text, projectName);
    return fetched;
}

// Why the information file, read again for the upload, cannot serve it; empty when it can.
QString InformationFault(const FetchedInformation& fetched, const QByteArray& listedHeader) {
    if (fetched.transfer != kSuccess) return ResultCodeMessage(fetched.transfer);
    if (fetched.read != kPcSuccess) return kProjectFileMissingText;
    if (!fetched.project.error.isEmpty()) return fetched.project.error;
    // Another project under the same name: the lines checked may stand for other files now.
    if (fetched.project.header != listedHeader) return kInstalledChanged;
    return {};
}

// Only what the Data File list offers can be asked for.
std::vector<bool> DataFileSelection(const std::vector<int>& checked,
                                    const std::vector<ProjectEntry>& entries) {
    const std::vector<bool> asked = Selection(checked, entries.size());
    std::vector<bool> selected(entries.size(), false);
    for (const ListedMember& member : SplitMembers(entries).dataFiles) {
        const auto index = static_cast<size_t>(member.entry);
        selected[index] = asked[index];
    }
    return selected;
}

// Members of one name in different folders would land on one file, the second over the
// first: the message naming the first such pair, empty when there is none.
QString NameClash(const std::vector<ProjectEntry>& entries, const std::vector<bool>& selected) {
    for (size_t index = 0; index < entries.size(); ++index) {
        if (!selected[index]) continue;
        const std::string& path = entries[index].terminalPath;
        const QString name = TerminalText(DisplayName(path));
        for (size_t later = index + 1; later < entries.size(); ++later) {
            const std::string& other = entries[later].terminalPath;
            if (selected[later] &&
                name.compare(TerminalText(DisplayName(other)), Qt::CaseInsensitive) == 0) {
                return QStringLiteral(
                           "%1 and %2 would both be saved as %3. Check only one of them.")
                    .arg(TerminalText(path), TerminalText(other), name);
            }
        }
    }
    return {};
}

// Makes `folder` when it is missing; answers whether it is now a real folder, not a link.
bool EnsureFolder(PcFileSystem& files, const QString& folder) {
    files.CreateFolder(folder);
    const std::optional<PcEntry> entry = files.Stat(folder);
    return entry && entry->IsRealFolder();
}

// The project's folder in the data folder, then the upload folder in it: the message for the
// first that is no real folder afterwards, empty when both are.
QString MakeUploadFolders(PcFileSystem& files, const UploadRequest& request) {
    const QString projectFolder =
        QStringLiteral("%1/%2").arg(request.dataFolder, request.projectName);
    for (const QString& needed :
         {projectFolder, UploadFolder(request.dataFolder, request.projectName, request.record)}) {
        if (!EnsureFolder(files, needed)) {
            return QStringLiteral("Cannot make the folder %1.").arg(needed);
        }
    }
    return {};
}

// Puts the staged file at `target` without holding it in memory, and tells its size. The
// staging file lies below the data folder, so where the name is free a rename does it; a move
// never replaces, so over an old file a copy does, which takes the name only once it is whole.
int PlaceStagedFile(PcFileSystem& files, const QString& staging, const QString& target,
                    qint64& size) {
    const std::optional<PcEntry> staged = files.Stat(staging);
    if (!staged) return kPcFileNotFound;
    size = staged->size;
    const int moved = files.MoveFile(staging, target);
    if (moved != kPcAlreadyExists) return moved;
    return files.CopyFile(staging, target, false);
}

// Brings one member from the terminal to `target` through `staging`; the message when it did
// not arrive, empty when it did.
QString FetchDataFile(const Services& services, TerminalLink& link, const ProjectEntry& entry,
                      const QString& staging, const QString& target) {
    services.files.DeleteFile(staging);
    const ResultCode rc = link.GetFile(entry.terminalPath, staging);
    qint64 size = 0;
    const int error =
        rc == kSuccess ? PlaceStagedFile(services.files, staging, target, size) : kPcSuccess;
    // Still there unless it was moved into place.
    services.files.DeleteFile(staging);
    services.progress.AfterFile(rc == kSuccess && error == kPcSuccess ? size : 0);
    if (rc != kSuccess) return ResultCodeMessage(rc);
    if (error != kPcSuccess) return CannotWriteText(target, error);
    return {};
}

// Why `target`, named `name` after a member, cannot take that member: not a name on the PC,
// or a folder or link already there; empty when it can.
QString TargetFault(PcFileSystem& files, const QString& name, const QString& target) {
    if (!IsPlainFileName(name)) return UnnameableText("file name", name, "file");
    if (const auto existing = files.Stat(target);
        existing && (existing->folder || existing->symbolicLink)) {
        return QStringLiteral("%1 is not a plain file; nothing is written through it.").arg(target);
    }
    return {};
}

// How many data files arrived, and how many the user kept as they were on the PC.
struct CopyCount {
    int copied = 0;
    int kept = 0;
};

// Copies the selected members into `folder` under their shown names, in file order, up to the
// first that fails or is cancelled.
CopyCount CopyDataFiles(const Services& services, TerminalLink& link, const QString& staging,
                  const QString& folder, const std::vector<ProjectEntry>& entries,
                  const std::vector<bool>& selected) {
    CopyCount count;
    for (size_t index = 0; index < entries.size(); ++index) {
        if (!selected[index]) continue;
        const ProjectEntry& entry = entries[index];
        const QString name = TerminalText(DisplayName(entry.terminalPath));
        const QString target = folder + u'/' + name;
        QString failure = TargetFault(services.files, name, target);
        // A file collected before stays unless the user says otherwise.
        if (failure.isEmpty() && services.files.Stat(target) &&
            !AskOverwrite(services.prompter, target)) {
            ++count.kept;
            continue;
        }
        if (failure.isEmpty()) {
            if (!services.progress.BeforeFile(TerminalText(entry.terminalPath), target,
                                              entry.size)) {
                break;
            }
            failure = FetchDataFile(services, link, entry, staging, target);
        }
        if (!failure.isEmpty()) {
            ShowMessage(services.prompter, failure);
            break;
        }
        ++count.copied;
    }
    return count;
}

}  // namespace

ListedProject ReadInstalledProject(const Services& services, const QString& dataFolder,
                                   const ConnectionSettings& record, const QString& projectName) {
    if (!IsPlainFileName(projectName)) {
        return Unlisted(UnnameableText("project name", projectName, "file"));
    }
    TerminalLink link(services.library, record);
    if (!link) return Unlisted(kDeviceOfflineText);
    WorkFolder work(services.files, dataFolder);
    if (work.Error() != kPcSuccess) return Unlisted(work.FailureText());
    FetchedInformation fetched = FetchInformationFile(
        services.files, link, work.FilePath(projectName + QStringLiteral(".tmp")), projectName);
    link.Close();
    if (fetched.read != kPcSuccess) return Unlisted(kProjectMissingText);
    return std::move(fetched.project);
}

QString UploadTargetText(const QString& projectName, const ConnectionSettings& record) {
    return QStringLiteral("My Document\\Tarvik\\%1\\%2")
        .arg(projectName, TerminalText(record.serialNumber));
}

QString UploadFolder(const QString& dataFolder, const QString& projectName,
                     const ConnectionSettings& record) {
    return QStringLiteral("%1/%2/%3")
        .arg(dataFolder, projectName, TerminalText(record.serialNumber));
}

namespace {

// The upload itself; `wanted` gets how many data files were selected.
CopyCount Upload(const Services& services, const UploadRequest& request, int& wanted) {
    const auto refuse = [&](const QString& text) {
        ShowMessage(services.prompter, text);
        return CopyCount{};
    };
    if (!IsPlainFileName(request.projectName)) {
        return refuse(UnnameableText("project name", request.projectName, "folder"));
    }
    TerminalLink link(services.library, request.record);
    if (!link) return refuse(kDeviceOfflineText);
    WorkFolder work(services.files, request.dataFolder);
    if (work.Error() != kPcSuccess) return refuse(work.FailureText());
    const QString staging = work.FilePath(request.projectName + QStringLiteral(".tmp"));
    const FetchedInformation fetched =
        FetchInformationFile(services.files, link, staging, request.projectName);
    if (const QString fault = InformationFault(fetched, request.listedHeader); !fault.isEmpty()) {
        return refuse(fault);
    }

    const std::vector<ProjectEntry>& entries = fetched.project.entries;
    const std::vector<bool> selected = DataFileSelection(request.checkedMembers, entries);
    wanted = static_cast<int>(std::count(selected.begin(), selected.end(), true));
    if (!AnySelected(selected)) {
        link.Close();
        return refuse(QStringLiteral("No file is selected!"));
    }
    if (const QString clash = NameClash(entries, selected); !clash.isEmpty()) return refuse(clash);
    if (const QString serial = TerminalText(request.record.serialNumber);
        !IsPlainFileName(serial)) {
        return refuse(UnnameableText("serial number", serial, "folder"));
    }
    if (const QString failure = MakeUploadFolders(services.files, request); !failure.isEmpty()) {
        return refuse(failure);
    }
    return CopyDataFiles(services, link, staging,
                         UploadFolder(request.dataFolder, request.projectName, request.record),
                         entries, selected);
}

// The journal's line of an upload or collect of `wanted` files: whole when each arrived or was
// kept as it was at the user's word.
void FinishCopy(OperationJournal& journal, CopyCount count, int wanted) {
    const bool whole = count.copied + count.kept == wanted;
    QString detail;
    if (!whole && !journal.Told()) {
        detail = QStringLiteral("%1 of %2 data files copied.").arg(count.copied).arg(wanted);
    } else if (whole && count.kept > 0) {
        detail = QStringLiteral("%1 kept as they were.").arg(count.kept);
    }
    journal.Finish(whole, detail);
}

}  // namespace

int UploadDataFiles(const Services& services, const UploadRequest& request) {
    OperationJournal journal(services, request.record, QStringLiteral("upload"), {request.projectName});
    int wanted = 0;
    const CopyCount count = Upload(journal.Work(), request, wanted);
    FinishCopy(journal, count, wanted);
    return count.copied;
}

CollectOutcome CollectDataFiles(const Services& services, const QString& into,
                                const QString& projectName, const ConnectionSettings& record) {
    CollectOutcome outcome;
    OperationJournal journal(services, record, QStringLiteral("collect"), {projectName});
    const ListedProject project = ReadInstalledProject(services, into, record, projectName);
    if (project.error == QLatin1String(kProjectMissingText)) {
        journal.Finish(false, project.error);
        return outcome;
    }
    outcome.installed = true;
    if (!project.error.isEmpty()) {
        outcome.error = project.error;
        journal.Finish(false, project.error);
        return outcome;
    }
    UploadRequest request{into, projectName, record, project.header, {}};
    for (const ListedMember& member : SplitMembers(project.entries).dataFiles) {
        if (member.refusal.isEmpty()) request.checkedMembers.push_back(member.entry);
    }
    outcome.dataFiles = static_cast<int>(request.checkedMembers.size());
    int wanted = 0;
    CopyCount count;
    if (outcome.dataFiles > 0) count = Upload(journal.Work(), request, wanted);
    outcome.collected = count.copied;
    FinishCopy(journal, count, outcome.dataFiles);
    return outcome;
}
