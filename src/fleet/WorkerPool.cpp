#include "fleet/WorkerPool.h"

#include "link/ConnectionSettings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <algorithm>

namespace {

constexpr int kMaxJobs = 16;

}  // namespace

QString WorkerProgramPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/tarvik-cli"); }

QStringList WorkerBaudArguments(int32_t baudCode) {
    if (baudCode < 1 || baudCode > static_cast<int32_t>(kBaudRates.size())) return {};
    return {QStringLiteral("--baud"), QString::fromLatin1(kBaudRates[static_cast<size_t>(baudCode - 1)])};
}

int WorkerJobs(int requested, size_t terminals) {
    const int wanted = requested > 0 ? requested : static_cast<int>(std::max<size_t>(terminals, 1));
    return std::clamp(wanted, 1, kMaxJobs);
}

WorkerPool::WorkerPool(QString program, int jobs, QObject* parent)
    : QObject(parent), program_(std::move(program)), jobs_(std::clamp(jobs, 1, kMaxJobs)) {}

WorkerPool::~WorkerPool() {
    for (QProcess* process : processes_) {
        if (!process) continue;
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(1000);
        }
        delete process;
    }
}

void WorkerPool::Start(std::vector<WorkerTask> tasks) {
    tasks_ = std::move(tasks);
    outcomes_.assign(tasks_.size(), {});
    processes_.assign(tasks_.size(), nullptr);
    pending_.assign(tasks_.size(), {});
    next_ = 0;
    running_ = 0;
    cancelled_ = false;
    StartNext();
    if (!Running()) emit allFinished();
}

void WorkerPool::RunToEnd(std::vector<WorkerTask> tasks) {
    QEventLoop loop;
    connect(this, &WorkerPool::allFinished, &loop, &QEventLoop::quit);
    Start(std::move(tasks));
    if (Running()) loop.exec();
}

void WorkerPool::StartNext() {
    while (running_ < jobs_ && next_ < tasks_.size()) {
        const int task = static_cast<int>(next_++);
        if (cancelled_) {
            Finish(task, false, QStringLiteral("Cancelled before it began."));
            continue;
        }
        auto* process = new QProcess;
        processes_[static_cast<size_t>(task)] = process;
        process->setProgram(program_);
        process->setArguments(tasks_[static_cast<size_t>(task)].arguments);
        // The worker's own messages on standard error are the user's to see.
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(process, &QProcess::readyReadStandardOutput, this, [this, task] { ReadLines(task); });
        connect(process, &QProcess::finished, this, [this, task](int code, QProcess::ExitStatus status) {
            Ended(task, code, status == QProcess::CrashExit);
        });
        connect(process, &QProcess::errorOccurred, this, [this, task](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) Ended(task, -1, false);
        });
        ++running_;
        process->start();
    }
}

void WorkerPool::ReadLines(int task) {
    QProcess* process = processes_[static_cast<size_t>(task)];
    QByteArray& pending = pending_[static_cast<size_t>(task)];
    pending += process->readAllStandardOutput();
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        const std::optional<WorkerEvent> event = DecodeEvent(line);
        if (!event) continue;
        switch (event->kind) {
            case WorkerEvent::Kind::Progress: emit progressed(task, *event); break;
            case WorkerEvent::Kind::Message: emit messaged(task, event->text); break;
            case WorkerEvent::Kind::Result: {
                WorkerOutcome& outcome = outcomes_[static_cast<size_t>(task)];
                outcome.ok = event->ok;
                outcome.error = event->text;
                outcome.values = event->values;
                outcome.finished = true;
                break;
            }
        }
    }
    // A worker that writes without ever ending a line is not heard any further.
    if (pending.size() > kMaxWorkerLine) pending.clear();
}

void WorkerPool::Ended(int task, int exitCode, bool crashed) {
    QProcess* process = processes_[static_cast<size_t>(task)];
    if (!process || process->property("ended").toBool()) return;
    process->setProperty("ended", true);
    ReadLines(task);
    --running_;
    const WorkerOutcome& outcome = outcomes_[static_cast<size_t>(task)];
    if (!outcome.finished) {
        QString error;
        if (exitCode == -1 && !crashed) {
            error = QStringLiteral("The worker %1 could not be started.").arg(program_);
        } else if (crashed) {
            error = QStringLiteral("The worker for this terminal ended abnormally.");
        } else {
            error = QStringLiteral("The worker for this terminal ended (status %1) without a result.")
                        .arg(exitCode);
        }
        Finish(task, false, error);
    } else {
        emit taskFinished(task);
    }
    process->deleteLater();
    processes_[static_cast<size_t>(task)] = nullptr;
    StartNext();
    if (!Running()) emit allFinished();
}

void WorkerPool::Finish(int task, bool ok, const QString& error, const QJsonObject& values) {
    WorkerOutcome& outcome = outcomes_[static_cast<size_t>(task)];
    outcome = {true, ok, error, values};
    emit taskFinished(task);
}

void WorkerPool::Cancel() {
    cancelled_ = true;
    for (QProcess* process : processes_) {
        if (process && process->state() == QProcess::Running) process->write("cancel\n");
    }
}
