#pragma once

#include "link/TerminalPath.h"

#include <string_view>

// Why a project member's terminal path is not one the packer writes or a download sends.
enum class MemberPathProblem {
    None,
    Drive,         // not "C:\", "D:\" or "E:\" at the start
    EmptyName,     // a doubled or trailing "\", or no name after the drive
    DotName,       // "." or ".." as a folder or file name
    TooDeep,       // more than two folder levels below the drive
    NotShortName,  // a folder or file name that is not 8.3
};

// An 8.3 name: a base of 1 to 8 characters, optionally "." and an extension of 1 to 3, in
// printable ASCII without blanks and none of \ / : * ? " < > | or ",", which ends an entry's
// path in a project file.
bool IsShortName(std::string_view name);

// Checks a member's full terminal path such as "D:\SHOP\MAIN.bas". The drive letter is
// upper case, as the drop's "[Info]C:" and "[Info]E:" tests read it.
MemberPathProblem CheckMemberPath(std::string_view path);

// A short sentence for the problem, for messages that name the path themselves.
const char* MemberPathProblemText(MemberPathProblem problem);
