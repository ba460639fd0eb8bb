#include "pc/PcFolderPaste.h"

#include "core/ItemKind.h"
#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"

#include <QLocale>
#include <QSet>
#include <algorithm>
#include <vector>

namespace {

constexpr char kIntoItself[] = "%1 cannot be pasted into itself or a folder inside it!";
// A terminal holds folders two levels below a drive, whatever nesting a listing shows.
// Less room than this on a volume is a full disk, whatever the file's size.
constexpr qint64 kLeastRoom = 64 * 1024;

// A terminal that stopped answering answers every later call the same way.
bool LinkLost(ResultCode rc) {
    return rc == kInvalidPortHandle || rc == kTransmissionTimeout;
}

int TerminalLevel(const QString& path) {
    return static_cast<int>(path.count(u'\\'));
}

// A file without an extension has no "." on the terminal, though a listing's display adds one.
QString ListedName(const DirectoryEntry& entry) {
    QString name = TerminalText(entry.name);
    if (entry.IsFile() && !entry.extension.empty()) {
        name += u'.' + TerminalText(entry.extension);
    }
    return name;
}

// An item that lies in another selected folder travels with that folder.
bool InsideAnotherSource(const QList<PathAndKind>& sources, const PathAndKind& item,
                         QChar separator) {
    return std::any_of(sources.begin(), sources.end(), [&](const PathAndKind& other) {
        return other.kind == kKindFolder && item.path.startsWith(other.path + separator);
    });
}

// A PC folder as it was before anything was made, so that a copy never walks into itself.
struct FolderPlan {
    QString path;
    bool listed = false;
    QList<PcEntry> files;
    std::vector<FolderPlan> folders;
};

enum class FileOutcome { Done, Skipped, Failed };

// One paste: what it took from the sources, and whether it had to stop.
class PasteJob {
public:
    PasteJob(const Services& services, bool copy)
        : services_(services), files_(services.files), copy_(copy) {}

    void PastePc(const QList<PathAndKind>& sources, const QString& target);
    void PasteTerminal(TerminalLink& link, const QList<PathAndKind>& sources,
                       const QString& target);
    // Tells once how many terminal entries no listing could show.
    void ReportUnlisted();

    PcPasteResult result;

private:
    void PastePcFile(const QString& from, const QString& to);
    void PastePcFolder(const QString& folder, const QString& target);
    FolderPlan Plan(const QString& folder) const;
    // CopyFolderToPC for a PC source.
    void CopyPcFolder(const FolderPlan& plan, const QString& destParent);
    // CopyFolderToPC for a terminal source.
    void CopyTerminalFolder(TerminalLink& link, const QString& folder, const QString& destParent);
    FileOutcome FetchFile(TerminalLink& link, const QString& from, const QString& to, qint64 bytes);
    bool DeleteOnTerminal(TerminalLink& link, const QString& path);
    void RemoveIfEmpty(TerminalLink& link, const QString& folder);

    bool MakeFolder(const QString& from, const QString& dest);
    int MoveReplacing(const QString& from, const QString& to);
    bool Begin(const QString& from, const QString& to, qint64 bytes);
    void End(qint64 bytes) { services_.progress.AfterFile(bytes); }
    void Show(const QString& text) { ShowMessage(services_.prompter, text); }
    void Fail(ResultCode rc);
    // Whether the volume of `to` has no room for `bytes` more.
    bool NoRoomFor(const QString& to, qint64 bytes);
    // Ends the whole paste with one message: every file after would fail the same way.
    void DiskFull(const QString& to);

    const Services& services_;
    PcFileSystem& files_;
    const bool copy_;
    bool stopped_ = false;  // cancelled, the terminal is gone, or the disk is full
    QStringList removedFolders_;
    qint64 unlisted_ = 0;  // entries beyond the listings' limit, never reached
};

bool PasteJob::Begin(const QString& from, const QString& to, qint64 bytes) {
    if (services_.progress.BeforeFile(from, to, bytes)) return true;
    result.cancelled = true;
    stopped_ = true;
    return false;
}

bool PasteJob::NoRoomFor(const QString& to, qint64 bytes) {
    const auto free = files_.FreeBytes(PcParentPath(to));
    return free && *free < std::max(bytes, kLeastRoom);
}

void PasteJob::DiskFull(const QString& to) {
    const auto free = files_.FreeBytes(PcParentPath(to));
    Show(QStringLiteral("%1 cannot be written: the disk is full (%2 free).\n"
                        "The rest was not copied.")
             .arg(to, QLocale().formattedDataSize(free.value_or(0))));
    stopped_ = true;
}

void PasteJob::Fail(ResultCode rc) {
    Show(ResultCodeMessage(rc));
    if (LinkLost(rc)) stopped_ = true;
}

bool PasteJob::MakeFolder(const QString& from, const QString& dest) {
    const int code = files_.CreateFolder(dest);
    if (code == kPcSuccess) return true;
    if (code == kPcAlreadyExists) {
        // Merged into, but never through a link to somewhere else.
        const auto existing = files_.Stat(dest);
        if (existing && existing->IsRealFolder()) return true;
    }
    Show(PcFailureText(copy_, from, dest, code));
    return false;
}

// Two moves, the old file put back when the second fails, so neither is lost on the way.
int PasteJob::MoveReplacing(const QString& from, const QString& to) {
    const QString backup = files_.TemporaryNameBeside(to);
    if (const int code = files_.MoveFile(to, backup)) return code;
    if (const int code = files_.MoveFile(from, to)) {
        files_.MoveFile(backup, to);
        return code;
    }
    files_.DeleteFile(backup);
    return kPcSuccess;
}

void PasteJob::PastePc(const QList<PathAndKind>& sources, const QString& target) {
    for (const PathAndKind& source : sources) {
        if (stopped_) break;
        if (InsideAnotherSource(sources, source, u'/')) continue;
        if (PcParentPath(source.path) == target) continue;  // already there
        const auto entry = files_.Stat(source.path);
        // A link goes as itself, whatever it names.
        if (source.kind == kKindFolder && !(entry && entry->symbolicLink)) {
            PastePcFolder(source.path, target);
        } else {
            PastePcFile(source.path, JoinPcPath(target, PcNameOf(source.path)));
        }
    }
}

void PasteJob::PastePcFile(const QString& from, const QString& to) {
    const auto source = files_.Stat(from);
    const qint64 bytes = source ? source->size : 0;
    const auto existing = files_.Stat(to);
    if (existing && existing->folder) {
        Show(PcFailureText(copy_, from, to, kPcAlreadyExists));
        return;
    }
    if (existing && !AskOverwrite(services_.prompter, to)) return;
    if (!Begin(from, to, bytes)) return;
    int code;
    if (copy_) {
        code = files_.CopyFile(from, to, !existing);
    } else {
        code = existing ? MoveReplacing(from, to) : files_.MoveFile(from, to);
    }
    End(code == kPcSuccess ? bytes : 0);
    if (code == kPcDiskFull) {
        DiskFull(to);
    } else if (code != kPcSuccess) {
        Show(PcFailureText(copy_, from, to, code));
    } else if (!copy_) {
        result.gone << from;
    }
}

void PasteJob::PastePcFolder(const QString& folder, const QString& target) {
    // Dropped onto itself: a jitter of the mouse, nothing to tell.
    if (target == folder) return;
    if (IsSameOrInsidePc(target, folder)) {
        Show(QString::fromLatin1(kIntoItself).arg(folder));
        return;
    }
    const QString dest = JoinPcPath(target, PcNameOf(folder));
    if (!copy_ && !files_.Stat(dest)) {
        // On one volume a folder moves in one step, hidden entries and all.
        const int code = files_.MoveFile(folder, dest);
        if (code == kPcSuccess) {
            result.gone << folder;
            return;
        }
        if (code != kPcNotSameDevice && code != kPcAlreadyExists) {
            Show(PcFailureText(false, folder, dest, code));
            return;
        }
    }
    const auto sourceWalk = files_.ConfineWalk(folder);
    const auto targetWalk = files_.ConfineWalk(dest);
    CopyPcFolder(Plan(folder), target);
    if (copy_) return;
    // Whatever stayed behind keeps its folder.
    if (files_.RemoveFolder(folder) == kPcSuccess) {
        result.gone << folder;
    } else {
        result.changed << folder;
    }
}

FolderPlan PasteJob::Plan(const QString& folder) const {
    FolderPlan plan;
    plan.path = folder;
    auto entries = files_.List(folder);
    if (!entries) return plan;
    plan.listed = true;
    std::sort(entries->begin(), entries->end(), [](const PcEntry& a, const PcEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    for (const PcEntry& entry : std::as_const(*entries)) {
        if (entry.hidden || entry.system) continue;
        if (entry.IsRealFolder()) {
            plan.folders.push_back(Plan(JoinPcPath(folder, entry.name)));
        } else {
            // A link is copied or moved as a link, never through.
            plan.files.append(entry);
        }
    }
    return plan;
}

void PasteJob::CopyPcFolder(const FolderPlan& plan, const QString& destParent) {
    const QString dest = JoinPcPath(destParent, PcNameOf(plan.path));
    if (!MakeFolder(plan.path, dest)) return;
    if (!plan.listed) {
        Show(PcFailureText(copy_, plan.path, dest, kPcSuccess));
        return;
    }
    // The first file that fails ends this folder; the rest of it stays where it is.
    QList<std::pair<QString, QString>> paths;
    paths.reserve(plan.files.size());
    for (const PcEntry& file : plan.files)
        paths.append({JoinPcPath(plan.path, file.name), JoinPcPath(dest, file.name)});
    bool failed = false;
    const auto ended = [&](qsizetype i, int code) {
        End(code == kPcSuccess ? plan.files[i].size : 0);
        if (code == kPcSuccess || failed) return;
        failed = true;
        if (code == kPcDiskFull) {
            DiskFull(paths[i].second);
        } else {
            Show(PcFailureText(copy_, paths[i].first, paths[i].second, code));
        }
    };
    if (copy_) {
        // A folder copy merges and replaces without asking, and waits for the disk once for
        // many files.
        files_.CopyFiles(
            paths,
            [&](qsizetype i) { return Begin(paths[i].first, paths[i].second, plan.files[i].size); },
            ended);
    } else {
        // A move never replaces.
        for (qsizetype i = 0; i < paths.size() && !failed; ++i) {
            if (!Begin(paths[i].first, paths[i].second, plan.files[i].size)) break;
            ended(i, files_.MoveFile(paths[i].first, paths[i].second));
        }
    }
    if (failed || stopped_) return;
    for (const FolderPlan& folder : plan.folders) {
        CopyPcFolder(folder, dest);
        if (stopped_) return;
        if (!copy_) files_.RemoveFolder(folder.path);  // only when nothing stayed
    }
}

void PasteJob::PasteTerminal(TerminalLink& link, const QList<PathAndKind>& sources,
                             const QString& target) {
    for (const PathAndKind& source : sources) {
        if (stopped_) break;
        if (InsideAnotherSource(sources, source, u'\\')) continue;
        QString path = source.path;
        if (source.kind != kKindFolder && path.endsWith(u'.')) path.chop(1);
        const QString name = TerminalNameOf(path);
        if (!IsPlainFileName(name)) {
            Show(ResultCodeMessage(kIllegalFileName));
            continue;
        }
        if (source.kind == kKindFolder) {
            const auto targetWalk = files_.ConfineWalk(JoinPcPath(target, name));
            CopyTerminalFolder(link, path, target);
            if (!copy_)
                (removedFolders_.contains(path) ? result.gone : result.changed) << source.path;
            continue;
        }
        if (FetchFile(link, path, JoinPcPath(target, name), 0) == FileOutcome::Done && !copy_ &&
            DeleteOnTerminal(link, path)) {
            result.gone << source.path;
        }
    }
}

void PasteJob::ReportUnlisted() {
    if (unlisted_ == 0) return;
    Show(QStringLiteral("%1 entries were not copied: a terminal lists at most %2 entries of a "
                        "folder. Their folders stay on the terminal.")
             .arg(unlisted_)
             .arg(kListingEntries));
}

void PasteJob::CopyTerminalFolder(TerminalLink& link, const QString& folder,
                                  const QString& destParent) {
    const QString dest = JoinPcPath(destParent, TerminalNameOf(folder));
    if (!MakeFolder(folder, dest)) return;
    std::vector<DirectoryEntry> entries;
    int32_t reported = 0;
    if (const ResultCode rc = link.ListFolder(TerminalBytes(folder), entries, &reported);
        rc != kSuccess) {
        Fail(rc);
        return;
    }
    // A listing holds 225 entries at most: what lies beyond stays, and so does its folder.
    const bool clamped = reported > qint64(entries.size());
    if (clamped) unlisted_ += reported - qint64(entries.size());
    QSet<QString> seen;
    for (const DirectoryEntry& entry : entries) {
        if (!entry.IsFolder() && !entry.IsFile()) continue;
        const QString name = ListedName(entry);
        if (!IsPlainFileName(name)) {
            Show(ResultCodeMessage(kIllegalFileName));
            continue;
        }
        // The terminal matches names without regard to case: a repeated one is the same entry.
        if (seen.contains(name.toUpper())) continue;
        seen.insert(name.toUpper());
        const QString from = JoinTerminalPath(folder, name);
        if (entry.IsFolder()) {
            if (TerminalLevel(from) <= kTerminalFolderLevels) CopyTerminalFolder(link, from, dest);
        } else {
            const FileOutcome outcome =
                FetchFile(link, from, JoinPcPath(dest, name), static_cast<qint64>(entry.size));
            if (outcome == FileOutcome::Done && !copy_) DeleteOnTerminal(link, from);
            if (outcome == FileOutcome::Failed) break;
        }
        if (stopped_) return;
    }
    if (!copy_ && !stopped_ && !clamped) RemoveIfEmpty(link, folder);
}

FileOutcome PasteJob::FetchFile(TerminalLink& link, const QString& from, const QString& to,
                                qint64 bytes) {
    const auto existing = files_.Stat(to);
    if (existing && existing->folder) {
        Show(PcFailureText(copy_, from, to, kPcAlreadyExists));
        return FileOutcome::Failed;
    }
    if (existing && !AskOverwrite(services_.prompter, to)) return FileOutcome::Skipped;
    if (!Begin(from, to, bytes)) return FileOutcome::Skipped;

    // Fetched under a hidden name beside the file and moved into place whole, so an existing
    // file is replaced only now, after the user said Yes.
    const QString temporary = files_.TemporaryNameBeside(to);
    const ResultCode rc = link.GetFile(TerminalBytes(from), temporary);
    int code = kPcSuccess;
    if (rc == kSuccess)
        code = existing ? MoveReplacing(temporary, to) : files_.MoveFile(temporary, to);
    if ((rc != kSuccess || code != kPcSuccess) && files_.Stat(temporary)) {
        files_.DeleteFile(temporary);
    }
    const bool whole = rc == kSuccess && code == kPcSuccess;
    End(whole ? bytes : 0);
    // The module tells a full disk only as a failed transfer.
    if (code == kPcDiskFull || (rc != kSuccess && NoRoomFor(to, bytes))) {
        DiskFull(to);
    } else if (rc != kSuccess) {
        Fail(rc);
    } else if (code != kPcSuccess) {
        Show(PcFailureText(copy_, from, to, code));
    }
    return whole ? FileOutcome::Done : FileOutcome::Failed;
}

bool PasteJob::DeleteOnTerminal(TerminalLink& link, const QString& path) {
    const ResultCode rc = link.DeleteFile(TerminalBytes(path));
    if (rc != kSuccess) Fail(rc);
    return rc == kSuccess;
}

void PasteJob::RemoveIfEmpty(TerminalLink& link, const QString& folder) {
    // Whether a terminal removes a folder that still holds files is its own affair: ask only
    // for an empty one.
    std::vector<DirectoryEntry> entries;
    const ResultCode listed = link.ListFolder(TerminalBytes(folder), entries);
    if (listed != kSuccess) {
        Fail(listed);
        return;
    }
    if (!entries.empty()) return;
    if (const ResultCode rc = link.RemoveDir(TerminalBytes(folder)); rc != kSuccess) {
        Fail(rc);
        return;
    }
    removedFolders_ << folder;
}

}  // namespace

PcPasteResult PasteIntoPcFolder(const Services& services, const QList<PathAndKind>& sources,
                                const QString& target, bool copy) {
    PasteJob job(services, copy);
    job.PastePc(sources, target);
    return job.result;
}

PcPasteResult PasteTerminalIntoPcFolder(const Services& services,
                                        const ConnectionSettings& settings,
                                        const QList<PathAndKind>& sources, const QString& target,
                                        bool copy) {
    QStringList named;
    for (const PathAndKind& source : sources) named << source.path;
    named << target;
    OperationJournal journal(services, settings, QStringLiteral("get"), named);
    PcPasteResult result;
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(journal.Work().prompter, kDeviceOfflineText);
        result.reached = false;
        return result;
    }
    PasteJob job(journal.Work(), copy);
    job.PasteTerminal(link, sources, target);
    job.ReportUnlisted();
    journal.Finish(!job.result.cancelled,
                   job.result.cancelled ? QString::fromLatin1(kJournalCancelledText) : QString());
    return job.result;
}
