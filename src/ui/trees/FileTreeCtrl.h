#pragma once

#include "core/TreeRules.h"

#include <QIcon>
#include <QList>
#include <QMimeData>
#include <QTreeWidget>
#include <utility>

struct PermanentDeleteAnswer;

// The tree both panes are built from: an item is a text and an image index, the index is the
// item's kind, and the selection list doubles as the clipboard.
class CFileTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    CFileTreeCtrl(bool pcFlag, QWidget* parent = nullptr);

    // The owning pane fills it before the tree is first filled.
    void SetImageList(QList<QIcon> images, int size);
    void SetFileModeFlag(bool fileMode) { fileModeFlag_ = fileMode; }

    bool IsPcTree() const { return pcFlag_; }
    bool IsFileMode() const { return fileModeFlag_; }
    TreeTraits Traits() const { return {pcFlag_, fileModeFlag_}; }

    // An item of this tree, not yet inserted.
    QTreeWidgetItem* NewItem(QString text, int image) const;
    QTreeWidgetItem* InsertItem(QTreeWidgetItem* parent, const QString& text, int image,
                                bool sorted = true);
    // Inserts a listing under an item that has no children yet, sorted once for the batch.
    // A folder gets one placeholder child, so that it shows an expand button.
    struct ListedItem {
        QString text;
        int image;
        bool withPlaceholder = false;
    };
    void InsertSortedChildren(QTreeWidgetItem* parent, QList<ListedItem> items);
    static int ItemImage(const QTreeWidgetItem* item);
    void SetItemImage(QTreeWidgetItem* item, int image);

    QString GetItemPath(const QTreeWidgetItem* item) const;
    // The item a path names, from the root down; null when it is not in the tree.
    QTreeWidgetItem* FindItem(const QString& path) const;
    void ClearSelection();
    void DeleteChildren(QTreeWidgetItem* item);
    // Deletes an item and everything below it.
    void RemoveItem(QTreeWidgetItem* item);
    // Deletes every item, the root included.
    void RemoveAllItems();

    QTreeWidgetItem* RootItem() const { return rootItem_; }
    void SetRootItem(QTreeWidgetItem* item) { rootItem_ = item; }

    // The item of the last right click, which the edit commands act on.
    QTreeWidgetItem* ContextItem() const { return contextItem_; }
    void SetContextItem(QTreeWidgetItem* item) { contextItem_ = item; }
    // The tree view's own current item: where the keyboard is, and the target of a Paste.
    QTreeWidgetItem* CaretItem() const { return currentItem(); }
    void SetCaretItem(QTreeWidgetItem* item) { setCurrentItem(item); }

    const QList<QTreeWidgetItem*>& SelectionList() const { return selection_; }
    bool InSelection(const QTreeWidgetItem* item) const;
    void AppendToSelection(QTreeWidgetItem* item);
    // Keeps only `item` of the selection list, when it is in it.
    void ReduceSelectionTo(QTreeWidgetItem* item);

    bool CopyFlag() const { return copyFlag_; }
    void SetCopyFlag(bool copy) { copyFlag_ = copy; }
    bool ControlFlag() const { return controlFlag_; }

    // Highlights the item under a screen point as a drop target and answers the cursor.
    QCursor DropFeedback(const QPoint& globalPoint);
    // The item under a screen point, null over empty space.
    QTreeWidgetItem* ItemAtGlobal(const QPoint& globalPoint) const;
    void DropHighlight(QTreeWidgetItem* item);
    bool IsDragging() const { return dragging_; }
    // A drag from `source` ended on `item` of this tree (null over empty space).
    virtual void AcceptDrop(QTreeWidgetItem* item, CFileTreeCtrl& source) = 0;

    // The edit commands' operations, each tree with its own.
    // Copies or moves the selection of `source` (a File Mode tree) into `target`.
    virtual void Paste(QTreeWidgetItem* target, CFileTreeCtrl& source) = 0;
    // Deletes one item of the selection, as the tree's mode deletes.
    virtual void DeleteOne(QTreeWidgetItem* item, PermanentDeleteAnswer& answer) = 0;
    // Makes a folder named `name` in the context item's drive or folder.
    virtual void NewFolder(const QString& name) = 0;
    // Lists the drive or folder `item` (at `path`) again.
    virtual void RefreshFolder(QTreeWidgetItem* item, const QString& path) = 0;
    // Renames `item` to `name` and lists its folder again.
    virtual void RenameItem(QTreeWidgetItem* item, const QString& name) = 0;
    // Shows the properties of the context item, as the tree's mode shows them.
    virtual void ShowProperties() = 0;

    // Drags with other programs (file managers): whether `item` takes local files dropped on
    // it, and what the drop does; the selection as the URIs a drag out of the window carries.
    virtual bool TakesDesktopDrop(const QTreeWidgetItem* item) const {
        Q_UNUSED(item);
        return false;
    }
    virtual void DropPcPaths(QTreeWidgetItem* target, const QStringList& paths, bool move) {
        Q_UNUSED(target);
        Q_UNUSED(paths);
        Q_UNUSED(move);
    }
    virtual QMimeData* DragOutMime() { return nullptr; }

signals:
    // A click made this the tree the edit commands act on.
    void activated();
    // The edit commands a click offers; newFolder, rename, format and property only when
    // `withMenuCommands` (a right click), cut only where `commands.cutApplies`.
    void commandsOffered(const EditCommands& commands, bool withMenuCommands);
    // A left click started a new selection, so nothing is on the clipboard any more.
    void clipboardCleared();
    // A left click on a roster item: whether Close Connect applies to it.
    void closeConnectOffered(bool offered);
    void contextMenuRequested(bool fileMode, const QPoint& globalPoint);
    // The Delete key, which deletes whether or not Delete is enabled.
    void deleteKeyPressed();
    // A drop is about to start work, named as the user would name it.
    void dropStarting(const QString& what);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // What a click without a drag does to an item, once the button is up.
    virtual void Click(QTreeWidgetItem* item, bool control) = 0;
    // Whether a drag from this tree may end on `target` (a file tree, or null for another window).
    bool MayDropOn(const CFileTreeCtrl* target) const;

    void ClickItem(QTreeWidgetItem* item, bool control);
    void LeftButtonDown(QTreeWidgetItem* item, bool control);
    void RightButtonDown(QTreeWidgetItem* item, bool control, const QPoint& globalPoint);
    // The item a left click at `point` is on: its text, its icon and a margin in front.
    QTreeWidgetItem* ClickedItem(const QPoint& point) const;

private:
    void SetHighlight(QTreeWidgetItem* item, bool on);
    void ForgetItem(QTreeWidgetItem* item);
    void EndDrag();
    // The internal drag left every window of the program: it goes on as a desktop drag.
    void DragOutOfWindow();
    // What a drop from another program does here: a copy, or a move.
    Qt::DropAction DesktopDropAction(const QDropEvent& event) const;

    QList<QIcon> images_;
    QTreeWidgetItem* rootItem_ = nullptr;
    bool copyFlag_ = true;
    QList<QTreeWidgetItem*> selection_;
    QTreeWidgetItem* contextItem_ = nullptr;
    bool controlFlag_ = false;
    const bool pcFlag_;
    bool fileModeFlag_ = false;
    bool dragging_ = false;
    QTreeWidgetItem* dropTarget_ = nullptr;
    CFileTreeCtrl* feedbackTree_ = nullptr;
};

// The file tree a widget belongs to (a tree or its viewport), or null.
CFileTreeCtrl* FileTreeOf(QWidget* widget);
