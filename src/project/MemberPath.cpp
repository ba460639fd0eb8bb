#include "project/MemberPath.h"

#include <cstring>

namespace {

bool IsNameCharacter(char c) {
    return c > ' ' && c < 0x7F && std::strchr("\\/:*?\"<>|.,", c) == nullptr;
}

bool AllNameCharacters(std::string_view text) {
    for (const char c : text) {
        if (!IsNameCharacter(c)) return false;
    }
    return true;
}

}  // namespace

bool IsShortName(std::string_view name) {
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    if (base.empty() || base.size() > 8 || !AllNameCharacters(base)) return false;
    if (dot == std::string_view::npos) return true;
    const std::string_view extension = name.substr(dot + 1);
    return !extension.empty() && extension.size() <= 3 && AllNameCharacters(extension);
}

MemberPathProblem CheckMemberPath(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\' ||
        (path[0] != 'C' && path[0] != 'D' && path[0] != 'E')) {
        return MemberPathProblem::Drive;
    }
    std::string_view rest = path.substr(3);
    // "..", an empty name and the depth matter more to a reader than a long name does.
    int names = 0;
    MemberPathProblem problem = MemberPathProblem::None;
    for (;;) {
        const auto separator = rest.find('\\');
        const std::string_view name = rest.substr(0, separator);
        ++names;
        if (name.empty()) return MemberPathProblem::EmptyName;
        if (name == "." || name == "..") return MemberPathProblem::DotName;
        if (problem == MemberPathProblem::None && !IsShortName(name)) {
            problem = MemberPathProblem::NotShortName;
        }
        if (separator == std::string_view::npos) break;
        rest.remove_prefix(separator + 1);
    }
    // A member lies at most three names deep: two folders and its own name.
    if (names > kTerminalFolderLevels + 1) return MemberPathProblem::TooDeep;
    return problem;
}

const char* MemberPathProblemText(MemberPathProblem problem) {
    switch (problem) {
        case MemberPathProblem::None:
            return "a plain terminal path";
        case MemberPathProblem::Drive:
            return "it does not start with C:\\, D:\\ or E:\\";
        case MemberPathProblem::EmptyName:
            return "it has an empty folder or file name";
        case MemberPathProblem::DotName:
            return "it names \".\" or \"..\"";
        case MemberPathProblem::TooDeep:
            return "it lies more than two folders deep";
        case MemberPathProblem::NotShortName:
            return "a folder or file name is not an 8.3 name";
    }
    return "";
}
