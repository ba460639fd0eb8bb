#include "ui/Accessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeWidget>
#include <QWindow>

namespace {

constexpr char kCheckListProperty[] = "accessibleCheckList";

// The application's children are the windows on screen. Qt lists hidden windows too, whose
// item views still report their cells showing (a view's cell goes by the view's place), and
// leaves out popups: a menu of the menu bar is reached through the bar, but a context menu
// through nothing else, so it is listed here while open.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override { return Shown().size(); }
    QAccessibleInterface* child(int index) const override { return Shown().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return Shown().indexOf(const_cast<QAccessibleInterface*>(child));
    }

private:
    QList<QAccessibleInterface*> Shown() const {
        QList<QAccessibleInterface*> shown;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (!window->isVisible() || window->type() == Qt::Desktop) continue;
            QAccessibleInterface* root = window->accessibleRoot();
            if (!root) continue;
            const bool contextMenu = qobject_cast<QMenu*>(root->object()) && root->parent() == this;
            if (window->type() != Qt::Popup || contextMenu) shown << root;
        }
        return shown;
    }
};

// A line of a check list, or for row -1 its header. Qt's own item interfaces only select a
// line on Toggle; this one checks or unchecks it, as a click on its box does.
class CheckListLine : public QAccessibleInterface,
                      public QAccessibleActionInterface,
                      public QAccessibleTableCellInterface {
public:
    CheckListLine(QTreeWidget* list, int row, int column)
        : list_(list),
          header_(row < 0),
          column_(column),
          index_(header_ ? QModelIndex() : list->model()->index(row, column)) {}

    // Still the line it was made for: lines come and go above it.
    bool Holds(int row, int column) const {
        return column == column_ && (header_ ? row < 0 : index_.isValid() && index_.row() == row);
    }

    bool isValid() const override { return list_ && (header_ || index_.isValid()); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        return header_ ? QAccessible::ColumnHeader : QAccessible::TreeItem;
    }

    QString text(QAccessible::Text type) const override {
        if (!isValid()) return {};
        if (header_) {
            return type == QAccessible::Name ? list_->headerItem()->text(column_) : QString();
        }
        if (type == QAccessible::Description) {
            return index_.data(Qt::AccessibleDescriptionRole).toString();
        }
        if (type != QAccessible::Name) return {};
        const QString spoken = index_.data(Qt::AccessibleTextRole).toString();
        return spoken.isEmpty() ? index_.data(Qt::DisplayRole).toString() : spoken;
    }

    QRect rect() const override {
        if (!isValid() || !list_->isVisible()) return {};
        if (header_) {
            const QHeaderView* header = list_->header();
            if (header->isHidden()) return {};
            return {header->viewport()->mapToGlobal(
                        QPoint(header->sectionViewportPosition(column_), 0)),
                    QSize(header->sectionSize(column_), header->height())};
        }
        const QRect area = list_->visualRect(index_);
        return area.isNull() ? QRect()
                             : QRect(list_->viewport()->mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const QRect area = rect();
        if (!isValid() || header_) {
            state.invisible = area.isNull();
            return state;
        }
        const QWidget* viewport = list_->viewport();
        state.invisible =
            !QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size()).intersects(area);
        const Qt::ItemFlags flags = index_.flags();
        state.disabled = !(flags & Qt::ItemIsEnabled) || !list_->isEnabled();
        state.selectable = state.focusable = (flags & Qt::ItemIsSelectable) != 0;
        state.selected = isSelected();
        state.focused = list_->currentIndex() == index_;
        if (flags & Qt::ItemIsUserCheckable) {
            const int check = index_.data(Qt::CheckStateRole).toInt();
            state.checkable = true;
            state.checked = check == Qt::Checked;
            state.checkStateMixed = check == Qt::PartiallyChecked;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        if (type == QAccessible::TableCellInterface && !header_) {
            return static_cast<QAccessibleTableCellInterface*>(this);
        }
        return nullptr;
    }

    QStringList actionNames() const override {
        return Checkable() ? QStringList{toggleAction()} : QStringList{};
    }

    void doAction(const QString& name) override {
        if (name != toggleAction() || !Checkable()) return;
        const bool checked = index_.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        list_->model()->setData(index_, int(checked ? Qt::Unchecked : Qt::Checked),
                                Qt::CheckStateRole);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    bool isSelected() const override {
        return isValid() && !header_ && list_->selectionModel()->isSelected(index_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return header_ ? -1 : index_.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    bool Checkable() const {
        if (!isValid() || header_ || !list_->isEnabled()) return false;
        const Qt::ItemFlags flags = index_.flags();
        return (flags & Qt::ItemIsUserCheckable) && (flags & Qt::ItemIsEnabled);
    }

    QPointer<QTreeWidget> list_;
    bool header_;
    int column_;
    QPersistentModelIndex index_;
};

// A flat list of check boxes. Its children are numbered as Qt numbers a tree view's cells,
// header row first, hidden or not: the view's focus and selection events name them so.
class CheckListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CheckListAccessible(QTreeWidget* list) : QAccessibleWidget(list, QAccessible::Tree) {}

    ~CheckListAccessible() override {
        for (QAccessible::Id id : std::as_const(lines_)) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return (rowCount() + 1) * columnCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || columnCount() == 0) return nullptr;
        const int row = index / columnCount() - 1;
        const int column = index % columnCount();
        if (row >= rowCount()) return nullptr;
        if (const auto found = lines_.constFind(index); found != lines_.cend()) {
            auto* line = dynamic_cast<CheckListLine*>(QAccessible::accessibleInterface(*found));
            if (line && line->Holds(row, column)) return line;
            QAccessible::deleteAccessibleInterface(*found);
        }
        auto* line = new CheckListLine(List(), row, column);
        lines_.insert(index, QAccessible::registerAccessibleInterface(line));
        return line;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* line = dynamic_cast<const CheckListLine*>(child);
        if (!line || line->parent() != this) return -1;
        return (line->rowIndex() + 1) * columnCount() + line->columnIndex();
    }

    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = List()->currentIndex();
        return current.isValid() ? cellAt(current.row(), current.column()) : nullptr;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = List()->viewport()->mapFromGlobal(QPoint(x, y));
        if (!List()->viewport()->rect().contains(point)) return nullptr;
        const QModelIndex at = List()->indexAt(point);
        return at.isValid() ? cellAt(at.row(), at.column()) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
        return child((row + 1) * columnCount() + column);
    }
    int selectedCellCount() const override { return selectedCells().size(); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const QModelIndex& index : List()->selectionModel()->selectedIndexes()) {
            cells << cellAt(index.row(), index.column());
        }
        return cells;
    }
    QString columnDescription(int column) const override {
        return List()->headerItem()->text(column);
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return selectedRows().size(); }
    int columnCount() const override { return List()->columnCount(); }
    int rowCount() const override { return List()->topLevelItemCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (const QModelIndex& index : List()->selectionModel()->selectedRows()) {
            rows << index.row();
        }
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        return List()->selectionModel()->isRowSelected(row, QModelIndex());
    }
    bool selectRow(int row) override {
        const QModelIndex index = List()->model()->index(row, 0);
        if (!index.isValid() || List()->selectionMode() == QAbstractItemView::NoSelection) {
            return false;
        }
        const bool single = List()->selectionMode() == QAbstractItemView::SingleSelection;
        List()->selectionModel()->select(
            index, (single ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select) |
                       QItemSelectionModel::Rows);
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override {
        const QModelIndex index = List()->model()->index(row, 0);
        if (!index.isValid()) return false;
        List()->selectionModel()->select(index,
                                         QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        return true;
    }
    bool unselectColumn(int) override { return false; }
    // Each line checks on lookup that it still stands where it stood.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    QTreeWidget* List() const { return static_cast<QTreeWidget*>(widget()); }

    mutable QHash<int, QAccessible::Id> lines_;  // by child index
};

QAccessibleInterface* MakeInterface(const QString&, QObject* object) {
    if (object && object == qApp) return new ApplicationAccessible;
    auto* list = qobject_cast<QTreeWidget*>(object);
    if (list && list->property(kCheckListProperty).toBool()) return new CheckListAccessible(list);
    return nullptr;
}

// Qt makes an object's interface once, when first asked, which may have been before the
// factory or the object's mark was there.
template <typename Made>
void DropMadeBefore(QObject* object) {
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object);
    if (made && !dynamic_cast<Made*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (!installed) QAccessible::installFactory(MakeInterface);
    installed = true;
    if (qApp) DropMadeBefore<ApplicationAccessible>(qApp);
}

void MakeAccessibleCheckList(QTreeWidget& list) {
    InstallAccessibility();
    list.setProperty(kCheckListProperty, true);
    DropMadeBefore<CheckListAccessible>(&list);
}
