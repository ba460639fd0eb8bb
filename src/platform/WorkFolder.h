#pragma once

#include <QString>

class PcFileSystem;

// A folder of one operation's own in the data folder for its temporary files. It is made
// exclusively under a fresh name, so no file of the user's can share a name with them, and it
// goes, with whatever it holds, when the operation ends. A data folder that does not exist yet
// is made first.
class WorkFolder {
public:
    WorkFolder(PcFileSystem& files, const QString& dataFolder);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // 0, or the PC code that kept the folder from being made.
    int Error() const { return error_; }
    // What the user is told when the folder could not be made.
    QString FailureText() const;
    const QString& Path() const { return path_; }
    QString FilePath(const QString& name) const { return path_ + u'/' + name; }

private:
    PcFileSystem& files_;
    QString dataFolder_;
    QString path_;
    int error_ = 0;
};

// Removes the work folders in `dataFolder` whose process no longer runs.
void RemoveStaleWorkFolders(PcFileSystem& files, const QString& dataFolder);

// Why a PC file call failed, in words for a message.
QString PcFailureReason(int code);

// Makes `folder` and any missing folder above it; 0 or the PC code of the first failure.
int MakeFolderPath(PcFileSystem& files, const QString& folder);
