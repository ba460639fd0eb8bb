#pragma once

#include "fleet/FleetTable.h"
#include "fleet/WorkerPool.h"

#include <QObject>

// Reads every row of a fleet table through status workers, one per terminal, while the
// event loop turns, so the window never waits on a terminal.
class FleetRefresh : public QObject {
    Q_OBJECT
public:
    FleetRefresh(FleetTable& table, QString workerProgram, QObject* parent = nullptr);

    // Reads every row; asked while a reading runs, it reads again once that one ends.
    void Refresh();
    bool Running() const { return pool_.Running(); }
    // Returns once no reading runs, the event loop turning meanwhile without user input, so
    // that no worker holds a terminal an operation is about to open.
    void Settle();

signals:
    // A terminal answered (`online`) or did not; its row has been updated.
    void terminalRead(const QString& port, bool online);
    void finished();

private:
    void TaskFinished(int task);

    FleetTable& table_;
    WorkerPool pool_;
    bool again_ = false;
};
