#pragma once

#include "ui/trees/FileTreeCtrl.h"

class PcFileSystem;

// The PC side's tree: the PC's drives, folders and files in File Mode, the data folder's
// projects in Project Mode.
struct PermanentDeleteAnswer;

class CPCFileTree : public CFileTreeCtrl {
    Q_OBJECT
public:
    explicit CPCFileTree(QWidget* parent = nullptr) : CFileTreeCtrl(true, parent) {}

    // Rebuilds the whole tree for the tree's mode.
    void Fill();
    // Replaces the children of a drive or folder item by a fresh listing of `path`.
    int FillFolder(const QString& path, QTreeWidgetItem* item);

    // Copies or moves the selection of `source` into `target`.
    void Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) override;
    // Moves a file, a link or a folder with everything in it to the Trash.
    void DeleteItem(QTreeWidgetItem* item, PermanentDeleteAnswer& answer);
    // Makes a folder named `name` in the context item's drive or folder.
    void NewFolder(const QString& name) override;
    void DeleteOne(QTreeWidgetItem* item, PermanentDeleteAnswer& answer) override {
        IsFileMode() ? DeleteItem(item, answer) : DeleteProject(item, answer);
    }
    void RefreshFolder(QTreeWidgetItem* item, const QString& path) override {
        FillFolder(path, item);
    }
    // Moves a project file of the data folder to the Trash.
    void DeleteProject(QTreeWidgetItem* item, PermanentDeleteAnswer& answer);
    void RenameItem(QTreeWidgetItem* item, const QString& name) override;
    // Project Mode: opens the download dialog of the context item's project.
    void ShowProperties() override;

    void AcceptDrop(QTreeWidgetItem* item, CFileTreeCtrl& source) override { Paste(item, source); }

    bool TakesDesktopDrop(const QTreeWidgetItem* item) const override;
    void DropPcPaths(QTreeWidgetItem* target, const QStringList& paths, bool move) override;
    QMimeData* DragOutMime() override;

protected:
    void Click(QTreeWidgetItem* item, bool control) override;
};

// Whether a PC file is shown: an 8.3 name, told by its first "." and its length alone.
bool ShowsAsShortName(const QString& name);
// The project a data-folder entry holds, or an empty text for an entry that is no project.
QString ProjectNameOf(const QString& entryName);
