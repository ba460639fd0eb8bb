#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QTextStream;

// A member to pack: where it goes on the terminal and its bytes as the terminal gets them.
struct PackMember {
    std::string terminalPath;
    QByteArray content;
};

// The requirement lines to write. With neither, the file has no "[Ver.]" and a download
// assumes reader kind 1 and firmware A00-1.02.
struct PackRequirements {
    std::optional<int32_t> readerKind;
    std::optional<std::string> neededVersion;
};

struct PackedProject {
    QByteArray file;
    std::string error;  // empty when `file` was made
};

// Makes a project file, refusing anything that a download would misread or a terminal could
// not hold: a member path that CheckMemberPath refuses, two members on one path, more than
// one program, a version that does not fit its line, or no member at all.
PackedProject BuildProjectFile(const PackRequirements& requirements,
                               const std::vector<PackMember>& members);

struct ProjectListing {
    std::string text;   // what `tarvik-pack --list` prints
    std::string error;  // empty when the whole project may be sent
};

ProjectListing ListProject(QByteArrayView file);

// Whether a project file's name without ".prj" can name the project's folders on a terminal.
bool IsProjectName(const QString& name);

// tarvik-pack's command line without the program name; answers the exit code: 0 done,
// 1 refused or failed, 2 a wrong command line.
int RunPackCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
