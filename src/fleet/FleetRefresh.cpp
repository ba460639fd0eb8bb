#include "fleet/FleetRefresh.h"

#include <QCoreApplication>

FleetRefresh::FleetRefresh(FleetTable& table, QString workerProgram, QObject* parent)
    : QObject(parent), table_(table), pool_(std::move(workerProgram), WorkerJobs(0, 16)) {
    connect(&pool_, &WorkerPool::taskFinished, this, &FleetRefresh::TaskFinished);
    connect(&pool_, &WorkerPool::allFinished, this, [this] {
        if (again_) {
            again_ = false;
            Refresh();
            return;
        }
        // The last operation of each terminal, whichever program did it.
        table_.TakeLastResults(ReadJournalTail(JournalPath()).records);
        emit finished();
    });
}

void FleetRefresh::Refresh() {
    if (pool_.Running()) {
        again_ = true;
        return;
    }
    std::vector<WorkerTask> tasks;
    for (const FleetRow& row : table_.Rows()) {
        tasks.push_back({row.port, QStringList{"--worker", "status", "--to", row.port} + WorkerBaudArguments(row.baudCode)});
        table_.SetReading(row.port);
    }
    pool_.Start(std::move(tasks));
}

void FleetRefresh::Settle() {
    again_ = false;
    while (pool_.Running()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
}

void FleetRefresh::TaskFinished(int task) {
    const QString& port = pool_.Tasks()[static_cast<size_t>(task)].port;
    const WorkerOutcome& outcome = pool_.Outcomes()[static_cast<size_t>(task)];
    if (outcome.ok) {
        table_.SetStatus(port, StatusFromValues(outcome.values));
    } else {
        table_.SetOffline(port);
    }
    emit terminalRead(port, outcome.ok);
}
