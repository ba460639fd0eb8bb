#pragma once

#include <QDialog>

class FleetTable;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// The fleet table in a window of its own beside the main one, never modal: sortable by any column, read
// again with F5 or Refresh, exported with Export....
class FleetWindow : public QDialog {
    Q_OBJECT
public:
    FleetWindow(FleetTable& table, QWidget* parent = nullptr);

    QTableView* View() const { return view_; }
    // Shows whether a reading runs.
    void SetReading(bool reading);

signals:
    void refreshRequested();
    void exportRequested();

private:
    QTableView* view_;
    QSortFilterProxyModel* sorted_;
    QLabel* state_;
};
