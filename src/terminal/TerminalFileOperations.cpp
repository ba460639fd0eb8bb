#include "terminal/TerminalFileOperations.h"

#include "core/ItemKind.h"
#include "core/OperationJournal.h"
#include "core/Services.h"
#include "core/TreeRules.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"
#include "platform/Clock.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"
#include "project/MemberPath.h"

#include <QSet>
#include <algorithm>

namespace {

constexpr char kTooDeep[] = "Device can't create folder over 2 level";

// How many skipped names one message lists before it only counts the rest.
constexpr int kListedSkips = 10;

// The terminal needs a moment before a folder it just wrote to is listed again.
constexpr int kAfterPastePauseMs = 500;
constexpr int kAfterFormatPauseMs = 100;

QString Text(const std::string& text) {
    return TerminalText(text);
}
QString PcName(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Whether a PC name can be a terminal's own: 8.3 in plain ASCII, and no dot for a folder.
bool IsTerminalName(const QString& name, bool folder) {
    const QByteArray bytes = name.toUtf8();
    return IsShortName(bytes.toStdString()) && !(folder && name.contains(u'.'));
}

// One paste's walk over the PC sources, on one open link.
class PasteWalk {
public:
    PasteWalk(const Services& services, TerminalLink& link, bool copy, TerminalPasteResult& result)
        : services_(services), link_(link), copy_(copy), result_(result) {}

    bool Stopped() const { return result_.cancelled || result_.stop != kSuccess; }

    void PasteFile(const QString& pcPath, const std::string& targetFolder);
    void PasteFolder(const QString& pcFolder, const std::string& targetFolder);
    // Tells once what the walk left on the PC because a terminal cannot hold it.
    void ReportSkipped();

private:
    // False for what stays on the PC: a link, or a name the terminal cannot hold.
    bool Sendable(const QString& pcPath, const PcEntry& entry);
    // True when `pcFolder` has its folder on the terminal, whatever became of its content.
    bool CopyFolderToTerminal(const QString& pcFolder, const std::string& terminalFolder);
    // False when the user stopped the work before this file.
    bool Announce(const QString& from, const std::string& to, qint64 bytes);
    // Deletes a PC file that the terminal now holds whole; false when it stays.
    bool RemoveSent(const QString& pcPath, const std::string& terminalPath);
    void RemoveFolderIfEmpty(const QString& pcFolder);
    void Show(const QString& text) { ShowMessage(services_.prompter, text); }

    const Services& services_;
    TerminalLink& link_;
    const bool copy_;
    TerminalPasteResult& result_;
    int skippedLinks_ = 0;
    QStringList skippedNames_;
};

bool PasteWalk::Sendable(const QString& pcPath, const PcEntry& entry) {
    // A terminal has no links, and following one would send, or on a move take, what it names.
    if (entry.symbolicLink) {
        ++skippedLinks_;
        return false;
    }
    if (!IsTerminalName(entry.name, entry.folder)) {
        skippedNames_ << pcPath;
        return false;
    }
    return true;
}

void PasteWalk::ReportSkipped() {
    QStringList lines;
    if (!skippedNames_.isEmpty()) {
        lines << QStringLiteral("These names cannot be used on a terminal and stay on the PC:");
        lines << skippedNames_.mid(0, kListedSkips);
        if (skippedNames_.size() > kListedSkips)
            lines << QStringLiteral("and %1 more").arg(skippedNames_.size() - kListedSkips);
    }
    if (skippedLinks_ > 0) {
        lines << QStringLiteral("%1 symbolic link(s) were not sent: a terminal has no links.")
                     .arg(skippedLinks_);
    }
    if (!lines.isEmpty()) Show(lines.join(u'\n'));
}

bool PasteWalk::Announce(const QString& from, const std::string& to, qint64 bytes) {
    if (services_.progress.BeforeFile(from, Text(to), bytes)) return true;
    result_.cancelled = true;
    return false;
}

bool PasteWalk::RemoveSent(const QString& pcPath, const std::string& terminalPath) {
    if (services_.files.DeleteFile(pcPath) == kPcSuccess) {
        result_.removedFromPc << pcPath;
        return true;
    }
    // Both copies stay: the move did not happen, though the terminal has the file.
    Show(QStringLiteral("Move %1 to %2 fail").arg(pcPath, Text(terminalPath)));
    return false;
}

void PasteWalk::RemoveFolderIfEmpty(const QString& pcFolder) {
    if (services_.files.RemoveFolder(pcFolder) == kPcSuccess) result_.removedFromPc << pcFolder;
}

void PasteWalk::PasteFile(const QString& pcPath, const std::string& targetFolder) {
    const std::string destination = JoinTerminalPath(targetFolder, TerminalBytes(PcName(pcPath)));
    const std::optional<PcEntry> entry = services_.files.Stat(pcPath);
    if (entry && !Sendable(pcPath, *entry)) return;
    if (entry && entry->system) {
        // A pipe or device would keep the terminal reading for ever.
        Show(ResultCodeMessage(kOpenFileFail));
        result_.stop = kOpenFileFail;
        return;
    }
    const qint64 bytes = entry ? entry->size : 0;
    if (!Announce(pcPath, destination, bytes)) return;

    ResultCode rc = link_.PutFile(pcPath, destination, false);
    if (rc == kFileAlreadyExists) {
        if (!AskOverwrite(services_.prompter, Text(destination))) {
            Show(QString::fromLatin1(copy_ ? "Copy %1 to %2 fail" : "Move %1 to %2 fail")
                     .arg(pcPath, Text(destination)));
            services_.progress.AfterFile(0);
            return;
        }
        // A second refusal means a folder holds the name; asking again would never end.
        rc = link_.PutFile(pcPath, destination, true);
    }
    services_.progress.AfterFile(rc == kSuccess ? bytes : 0);
    if (rc != kSuccess) {
        Show(ResultCodeMessage(rc));
        result_.stop = rc;
        return;
    }
    if (!copy_) RemoveSent(pcPath, destination);
}

void PasteWalk::PasteFolder(const QString& pcFolder, const std::string& targetFolder) {
    const std::optional<PcEntry> entry = services_.files.Stat(pcFolder);
    if (entry && !Sendable(pcFolder, *entry)) return;
    const auto confinement = services_.files.ConfineWalk(pcFolder);
    // The folder itself stays on the PC, emptied by a move.
    CopyFolderToTerminal(pcFolder, targetFolder);
}

bool PasteWalk::CopyFolderToTerminal(const QString& pcFolder, const std::string& terminalFolder) {
    const std::string folder = JoinTerminalPath(terminalFolder, TerminalBytes(PcName(pcFolder)));
    if (std::count(folder.begin(), folder.end(), '\\') > kTerminalFolderLevels) {
        Show(kTooDeep);
        return false;
    }
    std::vector<DirectoryEntry> existing;
    if (link_.ListFolder(folder, existing) != kSuccess) {
        if (const ResultCode rc = link_.MakeDir(folder); rc != kSuccess) {
            Show(ResultCodeMessage(rc));
            return false;
        }
    }

    QList<PcEntry> entries = services_.files.List(pcFolder).value_or(QList<PcEntry>());
    std::sort(entries.begin(), entries.end(), [](const PcEntry& a, const PcEntry& b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    // The terminal matches names without regard to case: a second file of the same name
    // would replace the first, and a move would then lose it.
    QSet<QString> sent;
    for (const PcEntry& entry : std::as_const(entries)) {
        if (Stopped()) break;
        // Pipes and devices are no files to send.
        if (entry.hidden || entry.system) continue;
        const QString path = pcFolder + QLatin1Char('/') + entry.name;
        if (!Sendable(path, entry)) continue;
        if (entry.folder) {
            const bool placed = CopyFolderToTerminal(path, folder);
            // A refused sub-folder reached nothing, so even an empty one stays.
            if (!copy_ && placed && !Stopped()) RemoveFolderIfEmpty(path);
            continue;
        }
        if (!IsShortFileName(entry.name)) {
            skippedNames_ << path;
            continue;
        }
        if (sent.contains(entry.name.toUpper())) continue;
        const std::string destination = JoinTerminalPath(folder, TerminalBytes(entry.name));
        if (!Announce(path, destination, entry.size)) break;
        const ResultCode rc = link_.PutFile(path, destination, true);
        services_.progress.AfterFile(rc == kSuccess ? entry.size : 0);
        // A failure ends this folder's walk only; its parent goes on with its next entry.
        if (rc != kSuccess) {
            Show(ResultCodeMessage(rc));
            break;
        }
        sent.insert(entry.name.toUpper());
        if (!copy_ && !RemoveSent(path, destination)) break;
    }
    return true;
}

}  // namespace

bool IsShortFileName(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot >= 0 && dot <= 8 && name.size() - dot - 1 <= 3 && name.size() <= 12;
}

namespace {

TerminalPasteResult Paste(const Services& services, const ConnectionSettings& settings,
                          const QList<PcSource>& sources, const std::string& targetFolder, bool copy) {
    TerminalPasteResult result;
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return result;
    }
    result.reached = true;
    PasteWalk walk(services, link, copy, result);
    for (const PcSource& source : sources) {
        if (walk.Stopped()) break;
        if (source.folder) {
            walk.PasteFolder(source.path, targetFolder);
        } else {
            walk.PasteFile(source.path, targetFolder);
        }
    }
    link.Close();
    walk.ReportSkipped();
    if (result.stop == kSuccess) services.clock.Pause(kAfterPastePauseMs);
    return result;
}

bool Delete(const Services& services, const ConnectionSettings& settings, const std::string& path,
            bool folder, const std::function<void()>& beforeRefusal) {
    const auto refuse = [&](ResultCode rc) {
        if (beforeRefusal) beforeRefusal();
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return false;
    };
    // A left click can select a folder that the terminal's programs need; it stays.
    const int kind = folder ? kKindFolder : kKindFile;
    if (!RightClickCommands(TreeTraits{false, true}, kind, Text(path)).del) {
        return refuse(kDeleteFolderFail);
    }
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return false;
    }
    const ResultCode rc = folder ? link.RemoveDir(path) : link.DeleteFile(path);
    link.Close();
    return rc == kSuccess || refuse(rc);
}

bool MakeFolder(const Services& services, const ConnectionSettings& settings,
                const std::string& parent, const std::string& name) {
    // A terminal folder name has no extension.
    if (name.find('.') != std::string::npos) {
        ShowMessage(services.prompter, ResultCodeMessage(kIllegalFileName));
        return false;
    }
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return false;
    }
    const ResultCode rc = link.MakeDir(JoinTerminalPath(parent, name));
    link.Close();
    if (rc != kSuccess) ShowMessage(services.prompter, ResultCodeMessage(rc));
    return rc == kSuccess;
}

bool Format(const Services& services, const ConnectionSettings& settings, const std::string& drive) {
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return false;
    }
    const ResultCode rc = link.FormatDisk(drive);
    link.Close();
    if (rc != kSuccess) ShowMessage(services.prompter, ResultCodeMessage(rc));
    return rc == kSuccess;
}

}  // namespace

TerminalPasteResult PasteToTerminal(const Services& services, const ConnectionSettings& settings,
                                    const QList<PcSource>& sources, const std::string& targetFolder,
                                    bool copy) {
    QStringList named;
    for (const PcSource& source : sources) named << source.path;
    named << Text(targetFolder);
    OperationJournal journal(services, settings, QStringLiteral("put"), named);
    const TerminalPasteResult result = Paste(journal.Work(), settings, sources, targetFolder, copy);
    journal.Finish(result.reached && result.stop == kSuccess && !result.cancelled,
                   result.cancelled ? QString::fromLatin1(kJournalCancelledText) : QString());
    return result;
}

bool DeleteOnTerminal(const Services& services, const ConnectionSettings& settings,
                      const std::string& path, bool folder,
                      const std::function<void()>& beforeRefusal) {
    OperationJournal journal(services, settings, QStringLiteral("rm"), {Text(path)});
    const bool deleted = Delete(journal.Work(), settings, path, folder, beforeRefusal);
    journal.Finish(deleted);
    return deleted;
}

bool MakeTerminalFolder(const Services& services, const ConnectionSettings& settings,
                        const std::string& parent, const std::string& name) {
    OperationJournal journal(services, settings, QStringLiteral("mkdir"),
                             {Text(JoinTerminalPath(parent, name))});
    const bool made = MakeFolder(journal.Work(), settings, parent, name);
    journal.Finish(made);
    return made;
}

bool FormatTerminalDrive(const Services& services, const ConnectionSettings& settings,
                         const std::string& drive, const std::function<void()>& relist) {
    OperationJournal journal(services, settings, QStringLiteral("format"), {Text(drive)});
    const bool formatted = Format(journal.Work(), settings, drive);
    journal.Finish(formatted);
    if (!formatted) return false;
    services.clock.Pause(kAfterFormatPauseMs);
    if (relist) relist();
    ShowMessage(services.prompter, QStringLiteral("Format Disk %1 done.").arg(Text(drive)));
    return true;
}
