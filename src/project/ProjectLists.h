#pragma once

#include "project/ProjectFile.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

// What the download of a project file and the upload from an installed project both list and
// check: a project's members as the two project dialogs show them, and what tells that the
// project changed since it was listed.

inline constexpr char kProjectMissingText[] = "This project is not exist!";
inline constexpr char kProjectFileMissingText[] = "Project file is not exist!";

// A project as a project dialog lists it: read from a project file on the PC for the download,
// or from a terminal's information file for the upload.
struct ListedProject {
    QString error;  // the message to show, then close; empty when read
    ProjectRequirements requirements;
    QByteArray header;  // the bytes the lists were made from, see Fingerprint
    std::vector<ProjectEntry> entries;
};

// What the lists were made from: the header, or the whole file when it has no members (then
// no longer than its header), so that a changed requirement is seen too.
QByteArray Fingerprint(const QByteArray& file, const ProjectEntries& read);

// One line of a project dialog's member lists: which member it stands for.
struct ListedMember {
    int entry = -1;  // the member's position in file order
    std::string terminalPath;
    QString displayName;
    // Why no terminal can hold it, for a line that cannot be checked; empty when it can.
    QString refusal;
};

// A project's members split into the dialogs' three lists, by display name as they are shown.
struct MemberLists {
    std::vector<ListedMember> programs;
    std::vector<ListedMember> fonts;
    std::vector<ListedMember> dataFiles;
};

// The list a member's shown name puts it in.
MemberKind ShownKind(const ProjectEntry& entry);

MemberLists SplitMembers(const std::vector<ProjectEntry>& entries);
// The same with the list of each member given, in file order.
MemberLists SplitMembers(const std::vector<ProjectEntry>& entries,
                         const std::vector<MemberKind>& kinds);

// The members checked, by position in file order, as flags; a position out of range is none.
std::vector<bool> Selection(const std::vector<int>& checked, size_t count);
bool AnySelected(const std::vector<bool>& selected);

// "D:\<name>.INF", where a terminal keeps the information file of an installed project.
std::string TerminalInformationPath(const QString& projectName);

// "Cannot write %s (System error Code:%d)."
QString CannotWriteText(const QString& path, int code);
