#pragma once

#include "terminal/TerminalFileOperations.h"
#include "ui/trees/FileTreeCtrl.h"

struct ConnectionSettings;
class TerminalLink;

// The terminal side's tree: the File Mode terminal's drives, folders and files, or the
// roster of the terminals connected in Project Mode.
class CTerminalFileTree : public CFileTreeCtrl {
    Q_OBJECT
public:
    explicit CTerminalFileTree(QWidget* parent = nullptr) : CFileTreeCtrl(false, parent) {}

    // Builds the roster from the document's terminals.
    void Fill();
    // Reads the children of a terminal file tree item from the terminal.
    int FillFolder(QTreeWidgetItem* item);
    // Reads the projects on drive D: of the roster terminal `item` stands for, over `link` or
    // a link of its own when it is null. 1 when the terminal cannot be reached.
    int ListTerminalProjects(QTreeWidgetItem* item, TerminalLink* link);
    // Lists again the projects of each roster terminal shown open, after work elsewhere (the
    // download dialog) may have changed them; one that does not answer is left as it is.
    void RelistOpenTerminals();

    // The position in the document's terminals of the record a roster terminal, or a project
    // under one, stands for; -1 for any other item.
    int RecordIndex(const QTreeWidgetItem* item) const;

    // Copies or moves the selection of a PC tree into a terminal drive or folder.
    void Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) override;
    // Deletes a terminal file, or a folder with the files in it.
    void DeleteItem(QTreeWidgetItem* item);
    // Makes a folder named `name` in the context item's drive or folder.
    void NewFolder(const QString& name) override;
    void DeleteOne(QTreeWidgetItem* item, PermanentDeleteAnswer&) override {
        IsFileMode() ? DeleteItem(item) : RemoveTerminalProject(item);
    }
    void RefreshFolder(QTreeWidgetItem* item, const QString&) override { FillFolder(item); }
    // Formats the drive of the context item.
    void FormatDrive();
    // Downloads the projects selected in `source` to the roster terminal `target`.
    void DropProject(QTreeWidgetItem* target, CFileTreeCtrl& source);
    // Removes an installed project from its roster terminal.
    void RemoveTerminalProject(QTreeWidgetItem* item);
    void RenameItem(QTreeWidgetItem* item, const QString& name) override;
    // File Mode: the size, place and date of the context item's drive, folder or file.
    // Project Mode: the context item's terminal identity, or the project installed on it.
    void ShowProperties() override;

    void AcceptDrop(QTreeWidgetItem* item, CFileTreeCtrl& source) override;

    bool TakesDesktopDrop(const QTreeWidgetItem* item) const override;
    void DropPcPaths(QTreeWidgetItem* target, const QStringList& paths, bool move) override;
    QMimeData* DragOutMime() override;

protected:
    void Click(QTreeWidgetItem* item, bool control) override;

private:
    void ShowRosterProperties();
    // Sends PC files and folders into the drive or folder `target` and lists it again.
    TerminalPasteResult PasteSources(QTreeWidgetItem* target, const QList<PcSource>& sources, bool copy);
};

// The text a terminal shows for a listed file or folder; bytes are taken one for one.
QString EntryText(const struct DirectoryEntry& entry);
