#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidget>

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

    QTreeWidgetItem* InsertItem(QTreeWidgetItem* parent, const QString& text, int image,
                                bool sorted = true);
    static int ItemImage(const QTreeWidgetItem* item);
    void SetItemImage(QTreeWidgetItem* item, int image);

    QString GetItemPath(const QTreeWidgetItem* item) const;
    void ClearSelection();
    void DeleteChildren(QTreeWidgetItem* item);
    // Deletes an item and everything below it.
    void RemoveItem(QTreeWidgetItem* item);
    // Deletes every item, the root included.
    void RemoveAllItems();

    QTreeWidgetItem* RootItem() const { return rootItem_; }
    void SetRootItem(QTreeWidgetItem* item) { rootItem_ = item; }

    QTreeWidgetItem* CurrentItem() const { return currentItem_; }
    void SetCurrentItem(QTreeWidgetItem* item) { currentItem_ = item; }

    const QList<QTreeWidgetItem*>& SelectionList() const { return selection_; }
    bool InSelection(const QTreeWidgetItem* item) const;
    void AppendToSelection(QTreeWidgetItem* item);

    bool CopyFlag() const { return copyFlag_; }
    void SetCopyFlag(bool copy) { copyFlag_ = copy; }
    bool ControlFlag() const { return controlFlag_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    void LeftButtonDown(QTreeWidgetItem* item, bool control);
    // The item a left click at `point` is on: its text, its icon and a margin in front.
    QTreeWidgetItem* ClickedItem(const QPoint& point) const;

    bool dragging_ = false;

private:
    void SetHighlight(QTreeWidgetItem* item, bool on);
    void DropHighlight(QTreeWidgetItem* item);
    void ForgetItem(QTreeWidgetItem* item);

    QList<QIcon> images_;
    QTreeWidgetItem* rootItem_ = nullptr;
    bool copyFlag_ = true;
    QList<QTreeWidgetItem*> selection_;
    QTreeWidgetItem* currentItem_ = nullptr;
    bool controlFlag_ = false;
    const bool pcFlag_;
    bool fileModeFlag_ = false;
    QTreeWidgetItem* dropTarget_ = nullptr;
};
