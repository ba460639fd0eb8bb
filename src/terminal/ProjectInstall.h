#pragma once

#include <QString>
#include <QStringList>

struct ConnectionSettings;
struct Services;
class TerminalLink;

// How a drop of projects onto one terminal ended.
enum class DropOutcome {
    Completed,  // every readable project was sent
    Cancelled,  // the user stopped it between two files
    Ended,      // refused, too old or failed, as the user was told
};

// Sends the project files `projectFiles` (".prj" paths; a project is named by the file's name
// without ".prj"), in order, to the terminal that `link` reaches and `record` describes: each is
// checked whole first, then against the terminal's firmware and model, then its folders are
// made, its members sent one at a time and its information file last. Temporary files live in
// a folder of their own inside `dataFolder` and are gone when the drop returns. A link that did
// not open is told as the terminal being off-line. The drop is journaled as one "download".
DropOutcome DropProjects(const Services& services, TerminalLink& link,
                         const ConnectionSettings& record, const QStringList& projectFiles,
                         const QString& dataFolder);

// Removes the project `name` from the terminal that `link` reaches and `record` describes:
// reads "D:\<name>.inf" back, deletes the project's program, removes its folders where they are
// empty, then deletes the information file. True when the information file is gone, so the
// terminal's projects are to be listed again; false, as told, when the link did not open.
// Journaled as "remove".
bool RemoveProject(const Services& services, TerminalLink& link, const ConnectionSettings& record,
                   const QString& name, const QString& dataFolder);
