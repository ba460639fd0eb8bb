#include "project/ProjectUpload.h"

#include "core/Services.h"
#include "link/DirectoryListing.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/WorkFolder.h"
#include "project/MemberPath.h"

#include <optional>

namespace {

constexpr char kInstalledChanged[] =
    "The project on the terminal has changed since its members were listed. Open its "
    "properties again.";

QString Native(const std::string& text) { return QString::fromStdString(text); }

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

// Makes `folder` when it is missing; answers whether it is now a real folder, not a link.
bool EnsureFolder(PcFileSystem& files, const QString& folder) {
    files.CreateFolder(folder);
    const std::optional<PcEntry> entry = files.Stat(folder);
    return entry && entry->folder && !entry->symbolicLink;
}

}  // namespace

ListedProject ReadInstalledProject(const Services& services, const QString& dataFolder,
                                   const ConnectionSettings& record, const QString& projectName) {
    ListedProject project;
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
        project.error = kProjectMissingText;
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
        show(kProjectFileMissingText);
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
            show(CannotWriteText(target, error));
            break;
        }
        ++uploaded;
    }
    return uploaded;
}
