#include "ui/dialogs/FleetRunDialog.h"

#include "link/ResultCodes.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kPort, kSerial, kFile, kProgress, kResult };

}  // namespace

FleetRunDialog::FleetRunDialog(const QString& title, std::vector<Row> rows, QWidget* parent)
    : QDialog(parent), pool_(WorkerProgramPath(), WorkerJobs(0, rows.size())), messages_(rows.size()) {
    setWindowTitle(title);
    setAccessibleName(title);
    rows_ = new QTreeWidget(this);
    rows_->setObjectName(QStringLiteral("fleetRows"));
    rows_->setAccessibleName(QStringLiteral("Terminals at work"));
    rows_->setRootIsDecorated(false);
    rows_->setHeaderLabels({tr("Port"), tr("Serial"), tr("File"), tr("Progress"), tr("Result")});
    rows_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const Row& row : rows) {
        auto* item = new QTreeWidgetItem(rows_, QStringList{row.port, row.serial, {}, {}, tr("Waiting")});
        auto* bar = new QProgressBar(rows_);
        bar->setAccessibleName(tr("Progress of %1").arg(row.port));
        bar->setRange(0, 100);
        bar->setValue(0);
        rows_->setItemWidget(item, kProgress, bar);
        bars_.push_back(bar);
    }
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->setAccessibleName(tr("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    resize(640, 120 + 28 * static_cast<int>(rows.size()));

    connect(cancel_, &QPushButton::clicked, this, &FleetRunDialog::reject);
    connect(&pool_, &WorkerPool::progressed, this, &FleetRunDialog::Progressed);
    connect(&pool_, &WorkerPool::messaged, this,
            [this](int task, const QString& text) { messages_[static_cast<size_t>(task)] << text; });
    connect(&pool_, &WorkerPool::taskFinished, this, &FleetRunDialog::Finished);
    connect(&pool_, &WorkerPool::allFinished, this, &QDialog::accept);
}

std::vector<WorkerOutcome> FleetRunDialog::Run(std::vector<WorkerTask> tasks) {
    // Started once the dialog's own loop turns, so that a quick run still ends it.
    QMetaObject::invokeMethod(this, [this, &tasks] { pool_.Start(std::move(tasks)); },
                              Qt::QueuedConnection);
    exec();
    return pool_.Outcomes();
}

QStringList FleetRunDialog::MessagesOf(size_t row, const QString& terminal) const {
    if (messages_.size() < 2) return messages_.at(row);
    QStringList named;
    for (const QString& text : messages_.at(row)) {
        named << (text.contains(terminal) ? text : QStringLiteral("%1:\r\n%2").arg(terminal, text));
    }
    return named;
}

QString FleetRunDialog::UntoldFailure(size_t row, const ConnectionSettings& record) const {
    const WorkerOutcome& outcome = pool_.Outcomes()[row];
    if (outcome.ok || !messages_[row].isEmpty() || outcome.error == QLatin1String(kWorkerCancelledText))
        return {};
    if (outcome.error != QLatin1String(kDeviceOfflineText)) return outcome.error;
    return QStringLiteral("%1-%2 is Off-line!")
        .arg(QString::fromStdString(record.model), QString::fromStdString(record.serialNumber));
}

void FleetRunDialog::reject() {
    if (!pool_.Running()) {
        QDialog::reject();
        return;
    }
    cancelled_ = true;
    cancel_->setEnabled(false);
    pool_.Cancel();
}

void FleetRunDialog::Progressed(int task, const WorkerEvent& event) {
    QTreeWidgetItem* item = rows_->topLevelItem(task);
    if (!item) return;
    item->setText(kFile, event.file);
    item->setText(kResult, tr("Working"));
    QProgressBar* bar = bars_[static_cast<size_t>(task)];
    const int percent = event.Percent();
    if (percent < 0) {
        bar->setRange(0, 0);  // busy: the total is unknown
    } else {
        bar->setRange(0, 100);
        bar->setValue(percent);
    }
    // The bar is drawn over the cell; a screen reader reads the cell.
    item->setData(kProgress, Qt::AccessibleTextRole, percent < 0 ? tr("busy") : QStringLiteral("%1%").arg(percent));
}

void FleetRunDialog::Finished(int task) {
    QTreeWidgetItem* item = rows_->topLevelItem(task);
    if (!item) return;
    const WorkerOutcome& outcome = pool_.Outcomes()[static_cast<size_t>(task)];
    QProgressBar* bar = bars_[static_cast<size_t>(task)];
    bar->setRange(0, 100);
    if (outcome.ok) bar->setValue(100);
    item->setData(kProgress, Qt::AccessibleTextRole, QStringLiteral("%1%").arg(bar->value()));
    item->setText(kFile, {});
    item->setText(kResult, outcome.ok ? tr("Done") : outcome.error.isEmpty() ? tr("Failed") : outcome.error);
}
