#include "pc/PcFileOperations.h"

#include "app/Services.h"
#include "pc/ItemKind.h"
#include "platform/PcFileSystem.h"
#include "platform/Prompter.h"

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

QString TerminalParentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    if (slash < 0) return {};
    return path.indexOf(u'\\') == slash ? path.left(slash + 1) : path.left(slash);
}

QString TerminalNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

QString FreeNameBeside(PcFileSystem& files, const QString& path) {
    // Room for the suffix within a file name's 255 bytes.
    const QString stem = JoinPcPath(PcParentPath(path), u'.' + PcNameOf(path).left(200));
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1.tarvik-%2").arg(stem).arg(n);
        if (!files.Stat(candidate)) return candidate;
    }
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

int DeleteFolderTree(PcFileSystem& files, const QString& path) {
    int first = kPcSuccess;
    if (const auto entries = files.List(path)) {
        for (const PcEntry& entry : *entries) {
            const QString child = JoinPcPath(path, entry.name);
            // A link to a folder goes as a link; what it names is not this folder's.
            const int code = entry.folder && !entry.symbolicLink ? DeleteFolderTree(files, child)
                                                                 : files.DeleteFile(child);
            if (first == kPcSuccess) first = code;
        }
    }
    const int code = files.RemoveFolder(path);
    return first != kPcSuccess ? first : code;
}

bool DeletePcItem(const Services& services, const PathAndKind& item) {
    const int code = item.kind == kKindFolder ? DeleteFolderTree(services.files, item.path)
                                              : services.files.DeleteFile(item.path);
    if (code == kPcSuccess || !services.files.Stat(item.path)) return true;
    ShowMessage(services.prompter, ChangeFailureText(code));
    return false;
}

bool DeleteProjectFile(const Services& services, const QString& dataFolder,
                       const QString& project) {
    if (!IsPlainFileName(project)) return false;
    const int code = services.files.DeleteFile(JoinPcPath(dataFolder, project + ".prj"));
    if (code == kPcSuccess) return true;
    ShowMessage(services.prompter, ChangeFailureText(code));
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
