#include "platform/WorkFolder.h"

#include "platform/PcFileSystem.h"

#include <QRandomGenerator>

#include <unistd.h>

namespace {

// A dot-name keeps the folder out of the PC tree while it exists; the process id after it
// tells a later run whether the folder is still in use.
constexpr char kPrefix[] = ".tarvik-work-";
constexpr int kAttempts = 100;

QString RandomSuffix() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    }
    return suffix;
}

}  // namespace

int MakeFolderPath(PcFileSystem& files, const QString& folder) {
    if (const auto entry = files.Stat(folder)) return entry->folder ? kPcSuccess : kPcAlreadyExists;
    const qsizetype slash = folder.lastIndexOf(u'/');
    if (slash > 0) {
        if (const int code = MakeFolderPath(files, folder.left(slash)); code != kPcSuccess) {
            return code;
        }
    }
    const int code = files.CreateFolder(folder);
    // Made meanwhile by someone else is as good as made here.
    if (code == kPcAlreadyExists) {
        const auto entry = files.Stat(folder);
        return entry && entry->folder ? kPcSuccess : code;
    }
    return code;
}

QString PcFailureReason(int code) {
    switch (code) {
        case kPcAccessDenied:
            return QStringLiteral("access is denied");
        case kPcDiskFull:
            return QStringLiteral("the disk is full");
        case kPcFileNotFound:
        case kPcPathNotFound:
            return QStringLiteral("a folder on its way is missing");
        case kPcAlreadyExists:
        case kPcFileExists:
            return QStringLiteral("a file stands where a folder belongs");
        default:
            return QStringLiteral("system error %1").arg(code);
    }
}

WorkFolder::WorkFolder(PcFileSystem& files, const QString& dataFolder)
    : files_(files), dataFolder_(dataFolder) {
    error_ = MakeFolderPath(files_, dataFolder);
    if (error_ != kPcSuccess) return;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QString candidate = dataFolder + u'/' + QLatin1String(kPrefix) +
                                  QString::number(::getpid()) + u'-' + RandomSuffix();
        error_ = files_.CreateFolder(candidate);
        if (error_ == kPcSuccess) {
            path_ = candidate;
            return;
        }
        if (error_ != kPcAlreadyExists) return;
    }
}

namespace {

// A work folder holds files only; whatever it holds is a leftover of its operation.
void RemoveWorkFolder(PcFileSystem& files, const QString& path) {
    const auto confinement = files.ConfineWalk(path);
    for (const PcEntry& entry : files.List(path).value_or(QList<PcEntry>())) {
        if (!entry.folder || entry.symbolicLink) files.DeleteFile(path + u'/' + entry.name);
    }
    files.RemoveFolder(path);
}

}  // namespace

WorkFolder::~WorkFolder() {
    if (!path_.isEmpty()) RemoveWorkFolder(files_, path_);
}

void RemoveStaleWorkFolders(PcFileSystem& files, const QString& dataFolder) {
    for (const PcEntry& entry : files.List(dataFolder).value_or(QList<PcEntry>())) {
        if (!entry.folder || entry.symbolicLink || !entry.name.startsWith(QLatin1String(kPrefix)))
            continue;
        // A name without a process id is from a run before ids were kept: long over.
        const QString owner = entry.name.mid(int(sizeof kPrefix) - 1).section(u'-', 0, 0);
        bool numeric = false;
        const qint64 pid = owner.toLongLong(&numeric);
        if (numeric && !IsProcessGone(pid)) continue;
        RemoveWorkFolder(files, dataFolder + u'/' + entry.name);
    }
}

QString WorkFolder::FailureText() const {
    return QStringLiteral("Temporary files cannot be made in %1: %2.\r\nNothing was changed.")
        .arg(dataFolder_, PcFailureReason(error_));
}
