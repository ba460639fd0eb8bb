#pragma once

#include "fleet/WorkerPool.h"
#include "link/ConnectionSettings.h"

#include <QDialog>
#include <vector>

class QProgressBar;
class QPushButton;
class QTreeWidget;

// One row a terminal while workers serve a fleet: port, serial, the file it is at, a progress
// bar and its result, all moving at once. One Cancel stops every worker between two files.
// The dialog closes itself when the last worker has ended.
class FleetRunDialog : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString port;
        QString serial;
    };
    FleetRunDialog(const QString& title, std::vector<Row> rows, QWidget* parent = nullptr);

    // Runs one task per row (task i for row i) and returns each one's outcome.
    std::vector<WorkerOutcome> Run(std::vector<WorkerTask> tasks);
    // The messages each worker sent, by row.
    const std::vector<QStringList>& Messages() const { return messages_; }
    // Row `row`'s messages to show one by one: when several terminals ran, each that does not
    // name its terminal (`terminal`) already gets a line naming it above the text.
    QStringList MessagesOf(size_t row, const QString& terminal) const;
    bool Cancelled() const { return cancelled_; }
    QTreeWidget* Rows() const { return rows_; }
    // Why the terminal of row `row` (`record`) failed, when neither its worker's messages nor
    // a cancel have said so; empty otherwise. An off-line terminal is named as the roster knows it.
    QString UntoldFailure(size_t row, const ConnectionSettings& record) const;

protected:
    // Escape and the close button cancel as the button does; the dialog still waits for the
    // workers, so none is stopped inside a file.
    void reject() override;

private:
    void Progressed(int task, const WorkerEvent& event);
    void Finished(int task);

    WorkerPool pool_;
    QTreeWidget* rows_;
    std::vector<QProgressBar*> bars_;
    QPushButton* cancel_;
    std::vector<QStringList> messages_;
    bool cancelled_ = false;
};
