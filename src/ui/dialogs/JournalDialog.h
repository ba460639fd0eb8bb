#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// The journal of every operation on a terminal, newest at the bottom, read again on Refresh.
// Only the journal's end is read, however long it has grown.
class JournalDialog : public QDialog {
    Q_OBJECT
public:
    explicit JournalDialog(const QString& journalPath, QWidget* parent = nullptr);

    // Reads the journal again and scrolls to its newest line.
    void Refresh();

    QTableWidget* Table() const { return table_; }
    // "The journal is empty.", why it cannot be read, or empty when lines are shown.
    QString Notice() const;

private:
    const QString path_;
    QTableWidget* table_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* close_ = nullptr;
};
