#include "pc/FileTreeCtrl.h"

#include "app/Globals.h"
#include "app/MainFrame.h"
#include "pc/ItemKind.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
// The icon and the space in front of an item's text count as the item for a left click.
constexpr int kClickWidening = 54;
}  // namespace

CFileTreeCtrl::CFileTreeCtrl(bool pcFlag, QWidget* parent) : QTreeWidget(parent), pcFlag_(pcFlag) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::NoSelection);
    setRootIsDecorated(true);
    setExpandsOnDoubleClick(false);
    setFrameShape(QFrame::StyledPanel);
}

void CFileTreeCtrl::SetImageList(QList<QIcon> images, int size) {
    images_ = std::move(images);
    setIconSize(QSize(size, size));
}

QTreeWidgetItem* CFileTreeCtrl::InsertItem(QTreeWidgetItem* parent, const QString& text,
                                           int image, bool sorted) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    SetItemImage(item, image);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int position = count;
    if (sorted) {
        // Case-insensitive, stable: a new item goes after its equals.
        position = 0;
        while (position < count) {
            const QTreeWidgetItem* sibling = parent ? parent->child(position) : topLevelItem(position);
            if (QString::compare(sibling->text(0), text, Qt::CaseInsensitive) > 0) break;
            ++position;
        }
    }
    if (parent) {
        parent->insertChild(position, item);
    } else {
        insertTopLevelItem(position, item);
    }
    return item;
}

int CFileTreeCtrl::ItemImage(const QTreeWidgetItem* item) {
    return item ? item->data(0, kImageRole).toInt() : -1;
}

void CFileTreeCtrl::SetItemImage(QTreeWidgetItem* item, int image) {
    item->setData(0, kImageRole, image);
    item->setIcon(0, image >= 0 && image < images_.size() ? images_[image] : QIcon());
}

QString CFileTreeCtrl::GetItemPath(const QTreeWidgetItem* item) const {
    if (!item) return {};
    // PC paths are the platform's own; terminal paths keep the terminal's backslash.
    const QChar separator = pcFlag_ && fileModeFlag_ ? QChar('/') : QChar('\\');
    QString path = item->text(0);
    const QTreeWidgetItem* node = item;
    while (node != rootItem_ && node->parent()) {
        node = node->parent();
        if (node == rootItem_) break;
        const QString text = node->text(0);
        path = text.endsWith(separator) ? text + path : text + separator + path;
    }
    return path;
}

void CFileTreeCtrl::ClearSelection() {
    for (QTreeWidgetItem* item : std::as_const(selection_)) SetHighlight(item, false);
    selection_.clear();
}

void CFileTreeCtrl::DeleteChildren(QTreeWidgetItem* item) {
    while (item->childCount() > 0) {
        QTreeWidgetItem* child = item->child(0);
        ForgetItem(child);
        delete child;
    }
}

void CFileTreeCtrl::RemoveItem(QTreeWidgetItem* item) {
    ForgetItem(item);
    if (rootItem_ == item) rootItem_ = nullptr;
    delete item;
}

void CFileTreeCtrl::RemoveAllItems() {
    selection_.clear();
    currentItem_ = nullptr;
    dropTarget_ = nullptr;
    rootItem_ = nullptr;
    clear();
}

// A deleted item must not stay behind in the lists that outlive it.
void CFileTreeCtrl::ForgetItem(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) ForgetItem(item->child(i));
    selection_.removeAll(item);
    if (currentItem_ == item) currentItem_ = nullptr;
    if (dropTarget_ == item) dropTarget_ = nullptr;
}

bool CFileTreeCtrl::InSelection(const QTreeWidgetItem* item) const {
    return std::find(selection_.begin(), selection_.end(), item) != selection_.end();
}

void CFileTreeCtrl::AppendToSelection(QTreeWidgetItem* item) {
    selection_.append(item);
    SetHighlight(item, true);
}

void CFileTreeCtrl::SetHighlight(QTreeWidgetItem* item, bool on) { item->setSelected(on); }

void CFileTreeCtrl::DropHighlight(QTreeWidgetItem* item) {
    if (dropTarget_) dropTarget_->setSelected(false);
    dropTarget_ = item;
    if (dropTarget_) dropTarget_->setSelected(true);
}

QTreeWidgetItem* CFileTreeCtrl::ClickedItem(const QPoint& point) const {
    QTreeWidgetItem* item = itemAt(point);
    if (!item) return nullptr;
    const QRect row = visualItemRect(item);
    const int textLeft = row.left() + iconSize().width() + 4;
    const int textRight = textLeft + fontMetrics().horizontalAdvance(item->text(0)) + 6;
    if (point.x() < textLeft - kClickWidening || point.x() > textRight) return nullptr;
    return item;
}

void CFileTreeCtrl::mousePressEvent(QMouseEvent* event) {
    // The tree view's own selection and drag start never run: the clicks are this tree's.
    if (event->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = ClickedItem(event->position().toPoint())) {
            LeftButtonDown(item, event->modifiers() & Qt::ControlModifier);
        }
        return;
    }
    if (event->button() == Qt::RightButton) return;
    QTreeWidget::mousePressEvent(event);
}

void CFileTreeCtrl::mouseDoubleClickEvent(QMouseEvent*) {}

void CFileTreeCtrl::LeftButtonDown(QTreeWidgetItem* item, bool control) {
    CMainFrame& frame = *g_mainFrame;
    frame.activeTree = this;
    const int kind = ItemImage(item);
    setCurrentItem(nullptr);

    if (control) {
        DropHighlight(nullptr);
    } else if (!InSelection(item)) {
        ClearSelection();
        frame.clipboardSource = nullptr;
        if (fileModeFlag_) {
            DropHighlight(kind == kKindFolder || kind == kKindFile ? nullptr : item);
        } else {
            DropHighlight(item);
            if (kind == kKindTerminalProject) AppendToSelection(item);
        }
    }

    if (fileModeFlag_) {
        if (kind != kKindFolder && kind != kKindFile) {
            frame.copyEnabled = frame.cutEnabled = frame.deleteEnabled = false;
            return;
        }
        frame.copyEnabled = true;
        frame.cutEnabled = kind == kKindFile;
        frame.deleteEnabled = true;
        copyFlag_ = true;
        // Programs stay where they are on a terminal.
        const bool fixedOnTerminal =
            !pcFlag_ && (kind == kKindFolder ? item->text(0).contains(QLatin1String("Program"))
                                             : item->text(0).contains(QLatin1String(".bas")));
        if (fixedOnTerminal) {
            ClearSelection();
            DropHighlight(nullptr);
            return;
        }
        if (!InSelection(item)) AppendToSelection(item);
        return;
    }

    if (pcFlag_) {
        if (kind == kKindProjectOrTerminal) {
            copyFlag_ = true;
            if (!InSelection(item)) AppendToSelection(item);
        }
        return;
    }
    setCurrentItem(item);
    frame.closeConnectEnabled = kind == kKindProjectOrTerminal;
}
