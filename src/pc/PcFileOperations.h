#pragma once

#include "platform/PcFileSystem.h"

#include <QString>

struct Services;

// A file or folder as an operation takes it from a tree: its path and its kind (image), so
// that the operation never holds a tree item that a refill may delete.
struct PathAndKind {
    QString path;
    int kind = 0;
};

// PC paths, joined with "/" as the PC tree builds them; a drive such as "/" takes no second
// "/".
QString JoinPcPath(const QString& folder, const QString& name);
QString PcParentPath(const QString& path);
QString PcNameOf(const QString& path);
// Whether `path` is `folder` itself or lies anywhere inside it.
bool IsSameOrInsidePc(const QString& path, const QString& folder);

// Terminal paths, joined with "\": the parent of C:\X.TXT is the drive C:\, that of
// C:\DATA\X.TXT the folder C:\DATA.
QString TerminalParentPath(const QString& path);
QString TerminalNameOf(const QString& path);

// A free hidden name beside `path` for content on its way there.
QString FreeNameBeside(PcFileSystem& files, const QString& path);

// What the user reads when a PC copy or move failed with a system error code (0: none known).
QString PcFailureText(bool copy, const QString& from, const QString& to, int code);
// "System error Code:%d!".
QString SystemErrorText(int code);

// Deletes a PC folder with everything in it, never through a symbolic link; 0, or the first
// system error met, in which case whatever could not be deleted stays with its folders.
int DeleteFolderTree(PcFileSystem& files, const QString& path);

// Deletes a PC file, or a folder with its contents, without asking. Tells the user what stood
// in the way; true when nothing is left at the path.
bool DeletePcItem(const Services& services, const PathAndKind& item);

// Deletes the project file "<dataFolder>/<project>.prj" and nothing else of the project;
// true when it is gone.
bool DeleteProjectFile(const Services& services, const QString& dataFolder, const QString& project);

// Makes the folder `name` in the PC folder `parent`; true when it was made.
bool MakePcFolder(const Services& services, const QString& parent, const QString& name);

// Renames a PC file or folder within its folder, never over an existing name; true on
// success, and a renaming to the very same name is one.
bool RenamePcItem(const Services& services, const QString& oldPath, const QString& newName);
