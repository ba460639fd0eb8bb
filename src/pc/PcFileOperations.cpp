#include "pc/PcFileOperations.h"

#include "core/ItemKind.h"
#include "core/Services.h"
#include "platform/PcFileSystem.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"

namespace {

constexpr char kActionDenied[] = "Action denied. You may have no right.";
constexpr char kSameName[] = "Same file name already exists!";
constexpr char kInvalidName[] = "Invalid file name!";

// The message for a change made in place: denied, a name that is taken, or the code.
QString ChangeFailureText(int code) {
    if (code == kPcAccessDenied) return kActionDenied;
    if (code == kPcAlreadyExists || code == kPcFileExists) return kSameName;
    return SystemErrorText(code);
}

}  // namespace

QString JoinPcPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString PcParentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString PcNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

bool IsSameOrInsidePc(const QString& path, const QString& folder) {
    if (path == folder) return true;
    return path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

QString SystemErrorText(int code) {
    return QStringLiteral("System error Code:%1!").arg(code);
}

QString PcFailureText(bool copy, const QString& from, const QString& to, int code) {
    if (code == kPcAccessDenied) return kActionDenied;
    QString text =
        QString::fromLatin1(copy ? "Copy %1 to %2 fail" : "Move %1 to %2 fail").arg(from, to);
    if (code == kPcAlreadyExists || code == kPcFileExists) {
        text += u'\n' + QString(kSameName);
    } else if (code != kPcSuccess) {
        text += u'\n' + SystemErrorText(code);
    }
    return text;
}

namespace {

// Returned when the user chose to keep what the Trash could not take.
constexpr int kKeptByUser = -1;

int DeleteFolderContents(PcFileSystem& files, const QString& path) {
    int first = kPcSuccess;
    if (const auto entries = files.List(path)) {
        for (const PcEntry& entry : *entries) {
            const QString child = JoinPcPath(path, entry.name);
            const int code = entry.IsRealFolder()
                                 ? DeleteFolderContents(files, child)
                                 : files.DeleteFile(child);
            if (first == kPcSuccess) first = code;
        }
    }
    const int code = files.RemoveFolder(path);
    return first != kPcSuccess ? first : code;
}

int DeleteForGood(PcFileSystem& files, const QString& path) {
    const auto entry = files.Stat(path);
    if (!entry) return kPcFileNotFound;
    return entry->IsRealFolder() ? DeleteFolderTree(files, path)
                                                 : files.DeleteFile(path);
}

int Discard(const Services& services, const QString& path, PermanentDeleteAnswer& answer) {
    const int code = services.files.MoveToTrash(path);
    if (code != kPcNotSupported) return code;
    if (!answer.asked) {
        answer.asked = true;
        answer.yes = AskDeletePermanently(services.prompter, path);
    }
    return answer.yes ? DeleteForGood(services.files, path) : kKeptByUser;
}

}  // namespace

int DeleteFolderTree(PcFileSystem& files, const QString& path) {
    const auto confinement = files.ConfineWalk(path);
    return DeleteFolderContents(files, path);
}

bool DeletePcItem(const Services& services, const QString& path, PermanentDeleteAnswer& answer) {
    const int code = Discard(services, path, answer);
    if (code == kKeptByUser) return false;
    if (code == kPcSuccess || !services.files.Stat(path)) return true;
    ShowMessage(services.prompter, ChangeFailureText(code));
    return false;
}

bool DeleteProjectFile(const Services& services, const QString& dataFolder, const QString& project,
                       PermanentDeleteAnswer& answer) {
    if (!IsPlainFileName(project)) return false;
    const int code = Discard(services, JoinPcPath(dataFolder, project + ".prj"), answer);
    if (code == kPcSuccess) return true;
    if (code != kKeptByUser) ShowMessage(services.prompter, ChangeFailureText(code));
    return false;
}

bool MakePcFolder(const Services& services, const QString& parent, const QString& name) {
    if (!IsPcFileName(name)) {
        ShowMessage(services.prompter, kInvalidName);
        return false;
    }
    const int code = services.files.CreateFolder(JoinPcPath(parent, name));
    if (code == kPcSuccess) return true;
    ShowMessage(services.prompter, ChangeFailureText(code));
    return false;
}

bool RenamePcItem(const Services& services, const QString& oldPath, const QString& newName) {
    if (!IsPcFileName(newName)) {
        ShowMessage(services.prompter, kInvalidName);
        return false;
    }
    const QString newPath = JoinPcPath(PcParentPath(oldPath), newName);
    if (newPath == oldPath) return true;
    const int code = services.files.MoveFile(oldPath, newPath);
    if (code == kPcSuccess) return true;
    ShowMessage(services.prompter,
                code == kPcAlreadyExists ? QString(kSameName) : SystemErrorText(code));
    return false;
}
