#include "platform/WorkFolder.h"

#include "platform/PcFileSystem.h"

#include <QRandomGenerator>

namespace {

// A dot-name keeps the folder out of the PC tree while it exists.
constexpr char kPrefix[] = "/.tarvik-work-";
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
        const QString candidate = dataFolder + QLatin1String(kPrefix) + RandomSuffix();
        error_ = files_.CreateFolder(candidate);
        if (error_ == kPcSuccess) {
            path_ = candidate;
            return;
        }
        if (error_ != kPcAlreadyExists) return;
    }
}

WorkFolder::~WorkFolder() {
    if (path_.isEmpty()) return;
    // The folder is ours alone, so everything in it is a leftover of the operation.
    for (const PcEntry& entry : files_.List(path_).value_or(QList<PcEntry>())) {
        if (!entry.folder || entry.symbolicLink) files_.DeleteFile(FilePath(entry.name));
    }
    files_.RemoveFolder(path_);
}

QString WorkFolder::FailureText() const {
    return QStringLiteral("Temporary files cannot be made in %1: %2.\r\nNothing was changed.")
        .arg(dataFolder_, PcFailureReason(error_));
}
