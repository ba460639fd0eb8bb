#include "ui/trees/FileTreeCtrl.h"

#include "core/ItemKind.h"
#include "core/OperationGate.h"
#include "ui/Images.h"

#include "ui/trees/DesktopDrag.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <vector>

namespace {
constexpr int kFileItemType = QTreeWidgetItem::UserType + 1;

// An item is a text and a kind; its icon is the tree's image of that kind. Both are members
// rather than item data, so that filling a large folder costs no more than the items.
class FileItem final : public QTreeWidgetItem {
public:
    FileItem(QString text, int kind, const QList<QIcon>& images)
        : QTreeWidgetItem(kFileItemType), text_(std::move(text)), kind_(kind), images_(images) {}

    int Kind() const { return kind_; }
    void SetKind(int kind) {
        kind_ = kind;
        Changed();
    }

    QVariant data(int column, int role) const override {
        if (column == 0) {
            if (role == Qt::DisplayRole || role == Qt::EditRole) return text_;
            if (role == Qt::DecorationRole) {
                return kind_ >= 0 && kind_ < images_.size() ? QVariant(images_[kind_]) : QVariant();
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
    void setData(int column, int role, const QVariant& value) override {
        if (column != 0 || (role != Qt::DisplayRole && role != Qt::EditRole)) {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        QString text = value.toString();
        if (text == text_) return;
        text_ = std::move(text);
        Changed();
    }

private:
    // The item holds no column data of Qt's own, and Qt tells the view of a change only for
    // an item with a column: a change counter of its own gives it one.
    void Changed() { QTreeWidgetItem::setData(0, kChangeRole, ++changes_); }

    static constexpr int kChangeRole = Qt::UserRole + 0x4d2;
    int changes_ = 0;
    QString text_;
    int kind_;
    const QList<QIcon>& images_;
};

// Case-insensitive order of sibling names, with a fast path for the ASCII names of both sides.
int CompareNames(const QString& a, const QString& b) {
    const qsizetype length = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < length; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y) continue;
        x = x < 128 ? (x >= 'A' && x <= 'Z' ? x + 32 : x) : QChar::toCaseFolded(x);
        y = y < 128 ? (y >= 'A' && y <= 'Z' ? y + 32 : y) : QChar::toCaseFolded(y);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// How long a drag out of the window keeps its data for the drop target.
constexpr int kDragDataKeptMs = 60000;

// The first eight units of a name as CompareNames folds them, packed so that two integer
// comparisons order most names of a large folder; a shorter name's end counts as below any
// unit, as it does there.
struct NameKey {
    quint64 high = 0;
    quint64 low = 0;
    qsizetype index = 0;
};

NameKey KeyOf(const QString& name, qsizetype index) {
    NameKey key;
    key.index = index;
    for (qsizetype i = 0; i < 8; ++i) {
        char16_t unit = 0;
        if (i < name.size()) {
            unit = name[i].unicode();
            unit = unit < 128 ? (unit >= 'A' && unit <= 'Z' ? unit + 32 : unit)
                              : QChar::toCaseFolded(unit);
        }
        quint64& half = i < 4 ? key.high : key.low;
        half = (half << 16) | unit;
    }
    return key;
}

// The icon and the space in front of an item's text count as the item for a left click.
constexpr int kClickWidening = 54;

bool ListsOnClick(int kind, bool fileMode) {
    if (!fileMode) return kind == kKindProjectOrTerminal || kind == kKindProjectRoot;
    return kind != kKindFile;
}
}  // namespace

CFileTreeCtrl* FileTreeOf(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* tree = qobject_cast<CFileTreeCtrl*>(w)) return tree;
        if (w->isWindow()) break;
    }
    return nullptr;
}

CFileTreeCtrl::CFileTreeCtrl(bool pcFlag, QWidget* parent) : QTreeWidget(parent), pcFlag_(pcFlag) {
    setHeaderHidden(true);
    setColumnCount(1);
    // The hidden header still reaches the accessibility bus, where Qt would call it "1".
    setHeaderLabel(QStringLiteral("Name"));
    setSelectionMode(QAbstractItemView::NoSelection);
    setRootIsDecorated(true);
    setExpandsOnDoubleClick(false);
    setFrameShape(QFrame::StyledPanel);
    // Names come from disks and terminals: never rich text.
    setTextElideMode(Qt::ElideNone);
    setUniformRowHeights(true);
    // Files from the desktop's file managers; the trees' own drags go by the mouse.
    setAcceptDrops(true);
}

void CFileTreeCtrl::SetImageList(QList<QIcon> images, int size) {
    images_ = std::move(images);
    setIconSize(QSize(size, size));
}

QTreeWidgetItem* CFileTreeCtrl::NewItem(QString text, int image) const {
    return new FileItem(std::move(text), image, images_);
}

QTreeWidgetItem* CFileTreeCtrl::InsertItem(QTreeWidgetItem* parent, const QString& text,
                                           int image, bool sorted) {
    QTreeWidgetItem* item = NewItem(text, image);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int position = count;
    if (sorted) {
        // Case-insensitive, stable: a new item goes after its equals.
        int low = 0;
        int high = count;
        while (low < high) {
            const int middle = (low + high) / 2;
            const QTreeWidgetItem* sibling = parent ? parent->child(middle) : topLevelItem(middle);
            if (CompareNames(text, sibling->text(0)) < 0) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        position = low;
    }
    if (parent) {
        parent->insertChild(position, item);
    } else {
        insertTopLevelItem(position, item);
    }
    return item;
}

void CFileTreeCtrl::InsertSortedChildren(QTreeWidgetItem* parent, QList<ListedItem> items) {
    if (parent->childCount() > 0) {
        for (const ListedItem& entry : items) {
            QTreeWidgetItem* item = InsertItem(parent, entry.text, entry.image);
            if (entry.withPlaceholder) InsertItem(item, QString(), kKindRoot);
        }
        return;
    }
    // Names equal but for case keep one order, the case-sensitive one.
    std::vector<NameKey> keys;
    keys.reserve(size_t(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) keys.push_back(KeyOf(items[i].text, i));
    std::sort(keys.begin(), keys.end(), [&items](const NameKey& a, const NameKey& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        const QString& x = items[a.index].text;
        const QString& y = items[b.index].text;
        const int order = CompareNames(x, y);
        return order != 0 ? order < 0 : x < y;
    });
    QList<QTreeWidgetItem*> children;
    children.reserve(items.size());
    for (const NameKey& key : keys) {
        ListedItem& entry = items[key.index];
        QTreeWidgetItem* item = NewItem(std::move(entry.text), entry.image);
        if (entry.withPlaceholder) item->addChild(NewItem(QString(), kKindRoot));
        children.append(item);
    }
    parent->addChildren(children);
}

int CFileTreeCtrl::ItemImage(const QTreeWidgetItem* item) {
    if (!item || item->type() != kFileItemType) return kNoItem;
    return static_cast<const FileItem*>(item)->Kind();
}

void CFileTreeCtrl::SetItemImage(QTreeWidgetItem* item, int image) {
    if (item && item->type() == kFileItemType) static_cast<FileItem*>(item)->SetKind(image);
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

QTreeWidgetItem* CFileTreeCtrl::FindItem(const QString& path) const {
    if (!rootItem_) return nullptr;
    // Breadth-first over what is listed: paths are short and trees are shallow.
    QList<QTreeWidgetItem*> pending{rootItem_};
    while (!pending.isEmpty()) {
        QTreeWidgetItem* node = pending.takeFirst();
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            if (ItemImage(child) == kKindRoot && child->text(0).isEmpty()) continue;
            const QString childPath = GetItemPath(child);
            if (childPath == path) return child;
            if (path.startsWith(childPath)) pending.append(child);
        }
    }
    return nullptr;
}

void CFileTreeCtrl::ClearSelection() {
    for (QTreeWidgetItem* item : std::as_const(selection_)) SetHighlight(item, false);
    selection_.clear();
}

void CFileTreeCtrl::DeleteChildren(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) ForgetItem(item->child(i));
    qDeleteAll(item->takeChildren());
}

void CFileTreeCtrl::RemoveItem(QTreeWidgetItem* item) {
    ForgetItem(item);
    if (rootItem_ == item) rootItem_ = nullptr;
    delete item;
}

void CFileTreeCtrl::RemoveAllItems() {
    selection_.clear();
    contextItem_ = nullptr;
    dropTarget_ = nullptr;
    rootItem_ = nullptr;
    clear();
}

// A deleted item must not stay behind in the lists that outlive it.
void CFileTreeCtrl::ForgetItem(QTreeWidgetItem* item) {
    if (!selection_.isEmpty() || contextItem_ || dropTarget_) {
        for (int i = 0; i < item->childCount(); ++i) ForgetItem(item->child(i));
    }
    selection_.removeAll(item);
    if (contextItem_ == item) contextItem_ = nullptr;
    if (dropTarget_ == item) dropTarget_ = nullptr;
}

bool CFileTreeCtrl::InSelection(const QTreeWidgetItem* item) const {
    return std::find(selection_.begin(), selection_.end(), item) != selection_.end();
}

void CFileTreeCtrl::AppendToSelection(QTreeWidgetItem* item) {
    selection_.append(item);
    SetHighlight(item, true);
}

void CFileTreeCtrl::ReduceSelectionTo(QTreeWidgetItem* item) {
    if (!InSelection(item)) return;
    for (QTreeWidgetItem* other : std::as_const(selection_)) {
        if (other != item) SetHighlight(other, false);
    }
    selection_ = {item};
}

void CFileTreeCtrl::SetHighlight(QTreeWidgetItem* item, bool on) { item->setSelected(on); }

void CFileTreeCtrl::DropHighlight(QTreeWidgetItem* item) {
    // A listed item keeps its highlight when the drop highlight leaves it.
    if (dropTarget_ && !InSelection(dropTarget_)) dropTarget_->setSelected(false);
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

QTreeWidgetItem* CFileTreeCtrl::ItemAtGlobal(const QPoint& globalPoint) const {
    return itemAt(viewport()->mapFromGlobal(globalPoint));
}

void CFileTreeCtrl::mousePressEvent(QMouseEvent* event) {
    // The tree view's own selection and drag start never run: the clicks are this tree's.
    const bool control = event->modifiers() & Qt::ControlModifier;
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = ClickedItem(point)) LeftButtonDown(item, control);
        return;
    }
    if (event->button() == Qt::RightButton) {
        RightButtonDown(itemAt(point), control, event->globalPosition().toPoint());
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CFileTreeCtrl::mouseDoubleClickEvent(QMouseEvent*) {}

void CFileTreeCtrl::LeftButtonDown(QTreeWidgetItem* item, bool control) {
    emit activated();
    const int kind = ItemImage(item);
    setCurrentItem(nullptr);
    // What the user chose last is what Delete, Cut and Copy act on, not an earlier right click.
    contextItem_ = nullptr;

    if (control) {
        DropHighlight(nullptr);
    } else if (!InSelection(item)) {
        ClearSelection();
        emit clipboardCleared();
        if (fileModeFlag_) {
            DropHighlight(kind == kKindFolder || kind == kKindFile ? nullptr : item);
        } else {
            DropHighlight(item);
            if (kind == kKindTerminalProject) AppendToSelection(item);
        }
    }

    if (fileModeFlag_) {
        emit commandsOffered(LeftClickCommands(kind), false);
        if (kind != kKindFolder && kind != kKindFile) return;
        copyFlag_ = true;
        if (!pcFlag_ && StaysOnTerminal(kind, item->text(0))) {
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
    emit closeConnectOffered(kind == kKindProjectOrTerminal);
}

void CFileTreeCtrl::RightButtonDown(QTreeWidgetItem* item, bool control, const QPoint& globalPoint) {
    setCurrentItem(item);
    DropHighlight(item);
    const int kind = ItemImage(item);
    emit activated();
    contextItem_ = item;
    controlFlag_ = control;
    if (!control && item && !InSelection(item)) {
        for (QTreeWidgetItem* listed : std::as_const(selection_)) SetHighlight(listed, false);
    }
    if (fileModeFlag_ && kind == kKindFile && !InSelection(item)) ClearSelection();
    emit commandsOffered(RightClickCommands(Traits(), kind, GetItemPath(item)), true);
    emit contextMenuRequested(fileModeFlag_, globalPoint);
}

bool CFileTreeCtrl::MayDropOn(const CFileTreeCtrl* target) const {
    if (!target) return false;
    if (fileModeFlag_) return target->IsFileMode() && (target->IsPcTree() || target != this);
    return !target->IsPcTree() && target != this;
}

void CFileTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || selection_.isEmpty()) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (!dragging_) {
        dragging_ = true;
        viewport()->grabMouse();
        QApplication::setOverrideCursor(Cursor(fileModeFlag_ ? DragCursor::NoFile
                                                             : DragCursor::NoProject));
    }
    QWidget* under = QApplication::widgetAt(global);
    if (!under && fileModeFlag_ && !QApplication::topLevelAt(global)) {
        DragOutOfWindow();
        return;
    }
    CFileTreeCtrl* target = FileTreeOf(under);
    if (feedbackTree_ && feedbackTree_ != target) feedbackTree_->DropHighlight(nullptr);
    feedbackTree_ = nullptr;
    // A terminal tree takes no drop from itself, yet its own feedback cursor says so.
    const bool feedback = target && (fileModeFlag_ ? MayDropOn(target) : !target->IsPcTree());
    if (feedback) {
        feedbackTree_ = target;
        QApplication::changeOverrideCursor(target->DropFeedback(global));
    } else {
        QApplication::changeOverrideCursor(
            Cursor(fileModeFlag_ ? DragCursor::NoFile : DragCursor::NoProject));
    }
}

QCursor CFileTreeCtrl::DropFeedback(const QPoint& globalPoint) {
    QTreeWidgetItem* item = ItemAtGlobal(globalPoint);
    DropHighlight(item);
    const bool allowed = AcceptsDrop(fileModeFlag_, ItemImage(item));
    if (fileModeFlag_) return Cursor(allowed ? DragCursor::DropFile : DragCursor::NoFile);
    return Cursor(allowed ? DragCursor::DropProject : DragCursor::NoProject);
}

void CFileTreeCtrl::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    viewport()->releaseMouse();
    QApplication::restoreOverrideCursor();
    if (feedbackTree_) feedbackTree_->DropHighlight(nullptr);
    feedbackTree_ = nullptr;
}

void CFileTreeCtrl::DragOutOfWindow() {
    EndDrag();
    QMimeData* mime = DragOutMime();
    if (!mime) return;
    // The drop target copies; the files here stay as they are. An X drop target asks for the
    // data after exec() has returned here, so the drag, its data and any files fetched for it
    // stay a while longer, and go with the tree at the latest.
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
    QTimer::singleShot(kDragDataKeptMs, drag, &QObject::deleteLater);
}

void CFileTreeCtrl::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void CFileTreeCtrl::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    // A drop from another program is no click: it would start work under the work running.
    const bool takes =
        !OperationRunning() && LocalPathsOf(*event->mimeData()) && TakesDesktopDrop(item);
    DropHighlight(takes ? item : nullptr);
    if (!takes) {
        event->ignore();
        return;
    }
    event->setDropAction(DesktopDropAction(*event));
    event->accept();
}

Qt::DropAction CFileTreeCtrl::DesktopDropAction(const QDropEvent& event) const {
    // As file managers do: a copy, a move with Shift where a move is offered and taken.
    const bool move = (event.modifiers() & Qt::ShiftModifier) && (event.possibleActions() & Qt::MoveAction) && IsPcTree();
    return move ? Qt::MoveAction : Qt::CopyAction;
}

void CFileTreeCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
    DropHighlight(nullptr);
    event->accept();
}

void CFileTreeCtrl::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    DropHighlight(nullptr);
    const std::optional<QStringList> paths = LocalPathsOf(*event->mimeData());
    if (OperationRunning() || !paths || !TakesDesktopDrop(item)) {
        event->ignore();
        return;
    }
    const Qt::DropAction action = DesktopDropAction(*event);
    event->setDropAction(action);
    event->accept();
    const bool move = action == Qt::MoveAction;
    // The work starts once the drop is answered, so the other program is not kept waiting.
    const QString targetPath = GetItemPath(item);
    QTimer::singleShot(0, this, [this, targetPath, paths = *paths, move] {
        emit dropStarting(tr("Drop from the desktop"));
        OperationScope operation;
        if (QTreeWidgetItem* target = FindItem(targetPath)) DropPcPaths(target, paths, move);
    });
}

void CFileTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (dragging_) {
        const QPoint global = event->globalPosition().toPoint();
        CFileTreeCtrl* target = FileTreeOf(QApplication::widgetAt(global));
        EndDrag();
        if (MayDropOn(target)) {
            emit dropStarting(fileModeFlag_ ? tr("Drop") : tr("Project drop"));
            OperationScope operation;
            target->AcceptDrop(target->ItemAtGlobal(global), *this);
        }
    } else {
        ClickItem(itemAt(event->position().toPoint()), control);
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CFileTreeCtrl::ClickItem(QTreeWidgetItem* item, bool control) {
    // A listing may stop on a message box; a device notice meanwhile must not change the tree.
    OperationScope operation;
    Click(item, control);
}

void CFileTreeCtrl::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* caret = currentItem();
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int kind = ItemImage(caret);
    switch (event->key()) {
        case Qt::Key_Delete:
            // Shift+Del is Cut, which the frame's shortcut runs when it is on; no other
            // combination deletes.
            if (event->modifiers() & ~Qt::KeypadModifier) return;
            emit deleteKeyPressed();
            setCurrentItem(nullptr);
            DropHighlight(nullptr);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Right:
            if (caret && ListsOnClick(kind, fileModeFlag_) &&
                (event->key() != Qt::Key_Right || !caret->isExpanded())) {
                ClickItem(caret, false);
                return;
            }
            break;
        case Qt::Key_Left:
            if (caret && caret->isExpanded()) {
                caret->setExpanded(false);
                return;
            }
            break;
        case Qt::Key_Space:
            if (caret) {
                LeftButtonDown(caret, control);
                ClickItem(caret, control);
                if (!currentItem()) setCurrentItem(caret);
                return;
            }
            break;
        case Qt::Key_Menu:
            RightButtonDown(caret, control, viewport()->mapToGlobal(visualItemRect(caret).center()));
            return;
        case Qt::Key_F10:
            if (event->modifiers() & Qt::ShiftModifier) {
                RightButtonDown(caret, control,
                                viewport()->mapToGlobal(visualItemRect(caret).center()));
                return;
            }
            break;
        default: break;
    }
    QTreeWidget::keyPressEvent(event);
}

void CFileTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard) return;  // the right press did it
    QTreeWidgetItem* caret = currentItem();
    RightButtonDown(caret, event->modifiers() & Qt::ControlModifier,
                    caret ? viewport()->mapToGlobal(visualItemRect(caret).center())
                          : event->globalPos());
}
