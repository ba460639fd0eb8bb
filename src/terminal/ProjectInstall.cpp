#include "terminal/ProjectInstall.h"

#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/ConnectionSettings.h"
#include "link/TerminalLink.h"
#include "platform/Clock.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"
#include "platform/WorkFolder.h"
#include "project/MemberPath.h"
#include "project/ProjectDownload.h"
#include "project/ProjectFile.h"
#include "project/ProjectPack.h"

#include <QTime>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char kProjectSuffix[] = ".prj";

// A project is named by its file's name without ".prj".
QString ProjectNameOfFile(const QString& projectFile) {
    const QString fileName = projectFile.mid(projectFile.lastIndexOf(u'/') + 1);
    return fileName.endsWith(QLatin1String(kProjectSuffix))
               ? fileName.chopped(int(sizeof kProjectSuffix) - 1)
               : fileName;
}

// The terminal matches names without regard to case but lists a project only by an extension
// of exactly "INF", as its own file system would have stored it.
std::string InformationPath(const QString& name) {
    return "D:\\" + name.toStdString() + ".INF";
}

// Installs the projects of one drop on a terminal, with what carries over from one project to
// the next.
class ProjectInstaller {
public:
    ProjectInstaller(const Services& services, TerminalLink& link,
                     const ConnectionSettings& record, const QString& dataFolder)
        : services_(services), link_(link), record_(record), dataFolder_(dataFolder) {}

    DropOutcome Run(const QStringList& projectFiles) {
        for (const QString& path : projectFiles) {
            switch (SendProject(path)) {
                case Step::Done:
                    break;
                case Step::Cancelled:
                    return DropOutcome::Cancelled;
                case Step::Ended:
                    return DropOutcome::Ended;
            }
        }
        return DropOutcome::Completed;
    }

private:
    enum class Step { Done, Cancelled, Ended };

    Step SendProject(const QString& path) {
        // Only the header is read; the members go from the file one at a time.
        const ProjectHead head = ReadProjectHead(services_.files, path);
        // A project that cannot be read is passed over without a word.
        if (head.error != kPcSuccess) return Step::Done;
        const QString name = ProjectNameOfFile(path);
        if (!IsSound(name, head)) return Step::Ended;
        ParseProjectRequirements(head.bytes, requirements_);
        if (!requirements_.neededVersion.empty() && !TerminalFits()) return Step::Ended;

        const ProjectEntries read = ReadProjectEntries(head.bytes, head.fileSize);
        if (read.entries.empty()) return Step::Done;
        if (const QString missing = UnfitDriveText(link_, read.entries, TerminalItemText(record_));
            !missing.isEmpty()) {
            Tell(missing);
            return Step::Ended;
        }
        if (!HaveWorkFolder()) return Step::Ended;
        for (const char drive : {'C', 'E'}) {
            if (HasMemberOn(read.entries, drive) && !MakeProjectFolder(drive, name)) {
                return Step::Ended;
            }
        }
        const QString information = work_->FilePath(name + QStringLiteral(".inf"));
        const std::string terminalInformation = InformationPath(name);
        if (!Stage(information, head.bytes.left(read.dataOffset), terminalInformation)) {
            return Step::Ended;
        }
        if (!MakeProjectFolder('D', name)) return Step::Ended;
        for (const ProjectEntry& entry : read.entries) {
            if (const Step step = SendMember(path, name, entry); step != Step::Done) {
                return step;
            }
        }
        return Send(information, terminalInformation, read.dataOffset);
    }

    // A project is looked at whole before anything of it reaches the terminal.
    bool IsSound(const QString& name, const ProjectHead& head) {
        const QString refused = QStringLiteral("Project %1 cannot be downloaded!\r\n").arg(name);
        if (!IsProjectName(name)) {
            Tell(refused + QStringLiteral("Its name must have 1 to 8 characters, no dot, and suit "
                                          "a terminal folder."));
            return false;
        }
        if (const ProjectCheck check = ValidateProject(head.bytes, head.fileSize);
            check.error != ProjectError::None) {
            Tell(refused + QString::fromStdString(ProjectCheckText(check)));
            return false;
        }
        return true;
    }

    bool TerminalFits() {
        TerminalIdentity identity;
        if (const ResultCode rc = link_.ReadIdentity(identity); rc != kSuccess) {
            // Without an identity neither rule can be applied, so nothing is sent.
            Tell(ResultCodeMessage(rc));
            return false;
        }
        if (FirmwareTooOld(requirements_.neededVersion, identity.firmware)) {
            Tell(QStringLiteral("The device-%1-%2's F/W is too old!\r\nUpgrate to %3 or newer to "
                                "run this project!")
                     .arg(TerminalText(identity.model), TerminalText(identity.serialNumber),
                          TerminalText(requirements_.neededVersion)));
            return false;
        }
        return ModelMeetsReaderKind(requirements_.readerKind, record_.model) ||
               AskDropOnOtherModel(services_.prompter, TerminalText(identity.model));
    }

    static bool HasMemberOn(const std::vector<ProjectEntry>& entries, char drive) {
        return std::any_of(entries.begin(), entries.end(), [drive](const ProjectEntry& entry) {
            return entry.terminalPath.front() == drive;
        });
    }

    bool HaveWorkFolder() {
        if (!work_) work_.emplace(services_.files, dataFolder_);
        if (work_->Error() == kPcSuccess) return true;
        Tell(work_->FailureText());
        return false;
    }

    bool MakeProjectFolder(char drive, const QString& name) {
        const std::string folder = std::string(1, drive) + ":\\" + name.toStdString();
        const ResultCode rc = link_.MakeDir(folder);
        // The folder of an earlier download is as good as a new one.
        if (rc == kSuccess || rc == kCreateFolderFail) return true;
        Tell(ResultCodeMessage(rc));
        return false;
    }

    bool Stage(const QString& pcPath, const QByteArray& content, const std::string& destination) {
        // In the work folder and deleted once sent, so a crash may lose it.
        return Staged(services_.files.WriteWholeFile(pcPath, content, Durability::Scratch),
                      destination);
    }

    bool Staged(int code, const std::string& destination) {
        if (code == kPcSuccess) return true;
        Tell(QStringLiteral("%1 cannot be prepared for sending: %2.")
                 .arg(TerminalText(destination), PcFailureReason(code)));
        return false;
    }

    Step SendMember(const QString& projectFile, const QString& name, const ProjectEntry& entry) {
        if (!services_.progress.BeforeFile(projectFile, TerminalText(entry.terminalPath), entry.size)) {
            return Step::Cancelled;
        }
        const QString staging = work_->FilePath(name + QStringLiteral(".tmp"));
        const int staged = StageMember(services_.files, projectFile, entry, entry.kind, staging);
        if (staged == kPcHandleEof) {
            // Cut short since its header was read.
            services_.progress.AfterFile(0);
            Tell(QStringLiteral("Project %1 cannot be downloaded!\r\n").arg(name) +
                 ProjectErrorText(ProjectError::MemberPastEnd));
            return Step::Ended;
        }
        if (!Staged(staged, entry.terminalPath)) {
            services_.progress.AfterFile(0);
            return Step::Ended;
        }
        bool kept = false;
        const ResultCode rc = PutMember(link_, services_.prompter, staging, entry, kept);
        services_.files.DeleteFile(staging);
        services_.progress.AfterFile(rc == kSuccess && !kept ? entry.size : 0);
        if (rc == kSuccess) return Step::Done;
        Tell(ResultCodeMessage(rc));
        return Step::Ended;
    }

    // The information file goes last: only a project with all its members shows on the terminal.
    Step Send(const QString& information, const std::string& destination, qint64 size) {
        if (!services_.progress.BeforeFile(information, TerminalText(destination), size)) {
            return Step::Cancelled;
        }
        const ResultCode rc = link_.PutFile(information, destination, true, true);
        services_.files.DeleteFile(information);
        services_.progress.AfterFile(rc == kSuccess ? size : 0);
        if (rc == kSuccess) return Step::Done;
        Tell(ResultCodeMessage(rc));
        return Step::Ended;
    }

    void Tell(const QString& text) { ShowMessage(services_.prompter, text); }

    const Services& services_;
    TerminalLink& link_;
    const ConnectionSettings& record_;
    const QString dataFolder_;
    // The reader kind and needed version carry over to a later project that does not state them.
    ProjectRequirements requirements_;
    std::optional<WorkFolder> work_;
};

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The members an information file read back from the terminal lists, in upper case; none,
// after a message, when it is damaged or names a path no project could have sent, since
// then it cannot be trusted to name what is to be deleted.
std::optional<std::vector<std::string>> MembersToRemove(const Services& services,
                                                        const QString& name,
                                                        QByteArrayView information) {
    const QString path = TerminalText(InformationPath(name));
    const QString kept = QStringLiteral("\r\nNothing of %1 was removed.").arg(name);
    const ProjectEntries read = ReadProjectEntries(information, EntrySource::InformationFile);
    if (read.error != ProjectError::None) {
        ShowMessage(services.prompter,
                    QStringLiteral("%1 is damaged, so nothing of %2 was removed.\r\n%3 (entry %4)")
                        .arg(path, name, QString::fromLatin1(ProjectErrorText(read.error)))
                        .arg(read.errorEntry + 1));
        return std::nullopt;
    }
    std::vector<std::string> members;
    for (const ProjectEntry& entry : read.entries) {
        std::string member = UpperCase(entry.terminalPath);
        if (const MemberPathProblem problem = CheckMemberPath(member);
            problem != MemberPathProblem::None) {
            ShowMessage(services.prompter, QStringLiteral("%1 names %2: %3.")
                                                   .arg(path, TerminalText(member),
                                                        QString::fromLatin1(
                                                            MemberPathProblemText(problem))) +
                                               kept);
            return std::nullopt;
        }
        members.push_back(std::move(member));
    }
    return members;
}

// Deletes a program; a data file or font stays, and only its folder goes once it is empty.
// A member or folder that is gone already needs no removing.
ResultCode RemoveMember(TerminalLink& link, const std::string& member) {
    if (member.find(".BAS", 1) != std::string::npos) {
        const ResultCode rc = link.DeleteFile(member);
        return rc == kNoSuchFile ? kSuccess : rc;
    }
    const size_t separator = member.rfind('\\');
    // A member right on a drive has no folder of its own.
    if (separator <= 2) return kSuccess;
    const ResultCode rc = link.RemoveDir(member.substr(0, separator));
    return rc == kDeleteFolderFail || rc == kNoSuchFile ? kSuccess : rc;
}

}  // namespace

DropOutcome DropProjects(const Services& services, TerminalLink& link,
                         const ConnectionSettings& record, const QStringList& projectFiles,
                         const QString& dataFolder) {
    OperationJournal journal(services, record, QStringLiteral("download"), projectFiles);
    if (!link) {
        ShowMessage(journal.Work().prompter, kDeviceOfflineText);
        return DropOutcome::Ended;
    }
    const DropOutcome outcome = ProjectInstaller(journal.Work(), link, record, dataFolder).Run(projectFiles);
    journal.Finish(outcome == DropOutcome::Completed, outcome == DropOutcome::Cancelled
                                                          ? QString::fromLatin1(kJournalCancelledText)
                                                          : QString());
    return outcome;
}

namespace {

bool Remove(const Services& services, TerminalLink& link, const QString& name,
            const QString& dataFolder) {
    WorkFolder work(services.files, dataFolder);
    if (work.Error() != kPcSuccess) {
        ShowMessage(services.prompter, work.FailureText());
        return false;
    }
    const std::string information = InformationPath(name);
    const QTime now = services.clock.TimeOfDay();
    const QString readBack = work.FilePath(
        QStringLiteral("%1%2%3.tmp").arg(now.hour()).arg(now.minute()).arg(now.second()));
    if (const ResultCode rc = link.GetFile(information, readBack, true); rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return false;
    }
    QByteArray text;
    if (const int code = services.files.ReadWholeFile(readBack, text); code != kPcSuccess) {
        ShowMessage(services.prompter,
                    QStringLiteral("%1 was read back from the terminal but cannot be opened: "
                                   "%2.\r\nNothing of %3 was removed.")
                        .arg(TerminalText(information), PcFailureReason(code), name));
        return false;
    }
    const auto members = MembersToRemove(services, name, text);
    if (!members) return false;

    ResultCode failure = kSuccess;
    for (const std::string& member : *members) {
        failure = RemoveMember(link, member);
        if (failure != kSuccess) break;
    }
    if (failure != kSuccess) ShowMessage(services.prompter, ResultCodeMessage(failure));
    // Deleted even after a failure, so the terminal no longer shows a project half removed.
    if (const ResultCode rc = link.DeleteFile(information); rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return false;
    }
    return true;
}

}  // namespace

bool RemoveProject(const Services& services, TerminalLink& link, const ConnectionSettings& record,
                   const QString& name, const QString& dataFolder) {
    OperationJournal journal(services, record, QStringLiteral("remove"), {name});
    if (!link) {
        ShowMessage(journal.Work().prompter, kDeviceOfflineText);
        return false;
    }
    const bool removed = Remove(journal.Work(), link, name, dataFolder);
    journal.Finish(removed);
    return removed;
}
