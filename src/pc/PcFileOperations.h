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

// What the user reads when a PC copy or move failed with a system error code (0: none known).
QString PcFailureText(bool copy, const QString& from, const QString& to, int code);
// "System error Code:%d!".
QString SystemErrorText(int code);

// Deletes a PC folder with everything in it for good, never through a symbolic link, even one
// that replaces a folder while the walk runs; 0, or the first system error met, in which case
// whatever could not be deleted stays with its folders.
int DeleteFolderTree(PcFileSystem& files, const QString& path);

// The user's answer, asked once in an operation, to deleting for good what no Trash takes.
struct PermanentDeleteAnswer {
    bool asked = false;
    bool yes = false;
};

// Moves a PC file, folder or link (as itself) to the Trash; where its drive has none, deletes
// it for good once the user agreed. Tells the user what stood in the way; true when nothing is
// left at the path.
bool DeletePcItem(const Services& services, const QString& path, PermanentDeleteAnswer& answer);

// Discards the project file "<dataFolder>/<project>.prj", as DeletePcItem does, and nothing
// else of the project; true when it is gone.
bool DeleteProjectFile(const Services& services, const QString& dataFolder, const QString& project,
                       PermanentDeleteAnswer& answer);

// Makes the folder `name` in the PC folder `parent`; true when it was made.
bool MakePcFolder(const Services& services, const QString& parent, const QString& name);

// Renames a PC file or folder within its folder, never over an existing name; true on
// success, and a renaming to the very same name is one.
bool RenamePcItem(const Services& services, const QString& oldPath, const QString& newName);
