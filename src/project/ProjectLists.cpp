#include "project/ProjectLists.h"

#include "link/DirectoryListing.h"
#include "project/MemberPath.h"

#include <algorithm>

namespace {

QString Refusal(const std::string& terminalPath) {
    const MemberPathProblem problem = CheckMemberPath(terminalPath);
    if (problem == MemberPathProblem::None) return {};
    return QStringLiteral("A terminal cannot hold %1: %2.")
        .arg(TerminalText(terminalPath), QString::fromLatin1(MemberPathProblemText(problem)));
}

}  // namespace

QByteArray Fingerprint(const QByteArray& file, const ProjectEntries& read) {
    return read.entries.empty() ? file : file.left(read.dataOffset);
}

MemberKind ShownKind(const ProjectEntry& entry) { return MemberKindOf(DisplayName(entry.terminalPath)); }

MemberLists SplitMembers(const std::vector<ProjectEntry>& entries) {
    std::vector<MemberKind> kinds;
    for (const ProjectEntry& entry : entries) kinds.push_back(ShownKind(entry));
    return SplitMembers(entries, kinds);
}

MemberLists SplitMembers(const std::vector<ProjectEntry>& entries,
                         const std::vector<MemberKind>& kinds) {
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

std::vector<bool> Selection(const std::vector<int>& checked, size_t count) {
    std::vector<bool> selected(count, false);
    for (const int entry : checked) {
        if (entry >= 0 && static_cast<size_t>(entry) < count) selected[static_cast<size_t>(entry)] = true;
    }
    return selected;
}

bool AnySelected(const std::vector<bool>& selected) {
    return std::find(selected.begin(), selected.end(), true) != selected.end();
}

// The terminal finds names without regard to case but lists a project only by an extension
// of exactly "INF", as its own file system would store it.
std::string TerminalInformationPath(const QString& projectName) {
    return "D:\\" + projectName.toLatin1().toStdString() + ".INF";
}

QString CannotWriteText(const QString& path, int code) {
    return QStringLiteral("Cannot write %1 (System error Code:%2).").arg(path).arg(code);
}
