#pragma once

#include "fleet/WorkerEvents.h"

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class QProcess;

// One terminal's work for a worker: the worker program's arguments, which name the terminal.
struct WorkerTask {
    QString port;
    QStringList arguments;
};

// How one task ended: the worker's result, or why there was none.
struct WorkerOutcome {
    bool finished = false;
    bool ok = false;
    QString error;
    QJsonObject values;
};

// Runs one worker process per terminal, at most `jobs` at once, since the terminal library
// serves one terminal per process. A worker that fails, crashes or says nothing is reported for
// its own terminal and the others go on. Cancel stops every worker between two files.
class WorkerPool : public QObject {
    Q_OBJECT
public:
    WorkerPool(QString program, int jobs, QObject* parent = nullptr);
    ~WorkerPool() override;

    void Start(std::vector<WorkerTask> tasks);
    // Tasks not yet started end as cancelled; running workers stop before their next file.
    void Cancel();
    bool Running() const { return running_ > 0 || next_ < tasks_.size(); }
    const std::vector<WorkerOutcome>& Outcomes() const { return outcomes_; }
    const std::vector<WorkerTask>& Tasks() const { return tasks_; }
    // Runs the tasks and returns when every one has ended, the event loop turning meanwhile.
    void RunToEnd(std::vector<WorkerTask> tasks);

signals:
    void progressed(int task, const WorkerEvent& event);
    void messaged(int task, const QString& text);
    void taskFinished(int task);
    void allFinished();

private:
    void StartNext();
    void ReadLines(int task);
    void Ended(int task, int exitCode, bool crashed);
    void Finish(int task, bool ok, const QString& error, const QJsonObject& values = {});

    QString program_;
    int jobs_;
    std::vector<WorkerTask> tasks_;
    std::vector<WorkerOutcome> outcomes_;
    std::vector<QProcess*> processes_;
    std::vector<QByteArray> pending_;
    size_t next_ = 0;
    int running_ = 0;
    bool cancelled_ = false;
};

// The worker program: tarvik-cli beside the running program.
QString WorkerProgramPath();

// A worker's options that make it reach a roster terminal as its record does.
QStringList WorkerBaudArguments(int32_t baudCode);

// The number of workers to run at once: `requested` when given (at least 1), else one per
// terminal; never more than 16.
int WorkerJobs(int requested, size_t terminals);
