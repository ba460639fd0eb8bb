#include "ui/ProgressDisplay.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMainWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <thread>

ProgressDisplay::~ProgressDisplay() { delete dialog_; }

void ProgressDisplay::Start() {
    timer_.start();
    current_.clear();
    files_ = 0;
    bytes_ = 0;
    cancelled_ = false;
}

void ProgressDisplay::Finish() {
    delete dialog_;
    frame_.statusBar()->clearMessage();
    timer_.invalidate();
}

bool ProgressDisplay::BeforeFile(const QString& from, const QString& to, qint64 bytes) {
    Q_UNUSED(bytes);
    if (!timer_.isValid()) timer_.start();
    current_ = QStringLiteral("%1 -> %2").arg(from, to);
    frame_.statusBar()->showMessage(QStringLiteral("Sending %1").arg(current_));
    ShowDialogWhenDue();
    Refresh();
    // Until the modal dialog stands in front, no click may reach the trees under the work.
    QCoreApplication::processEvents(DialogShown() ? QEventLoop::AllEvents
                                                  : QEventLoop::ExcludeUserInputEvents);
    return !cancelled_;
}

void ProgressDisplay::AfterFile(qint64 bytes) {
    ++files_;
    bytes_ += bytes;
}

void ProgressDisplay::RunLong(const std::function<void()>& step) {
    // Outside an operation nothing holds device notices back from the trees: in place.
    if (!timer_.isValid()) {
        step();
        return;
    }
    std::atomic<bool> done = false;
    QEventLoop loop;
    std::thread worker([&] {
        step();
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer due;
    // Once the dialog stands in front its Cancel must be heard: the loop starts again for it.
    QObject::connect(&due, &QTimer::timeout, &loop, [&] {
        if (!DialogShown() && ShowDialogWhenDue()) loop.quit();
    });
    due.start(100);
    while (!done) {
        loop.exec(DialogShown() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    worker.join();
}

bool ProgressDisplay::ShowDialogWhenDue() {
    if (dialog_) return true;
    if (!timer_.isValid() || timer_.elapsed() < kDialogDelayMs) return false;
    dialog_ = new QProgressDialog(&frame_);
    dialog_->setObjectName(QStringLiteral("progressDialog"));
    dialog_->setWindowTitle(QStringLiteral("Tarvik"));
    dialog_->setAccessibleName(QStringLiteral("Progress"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setRange(0, 0);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    QObject::connect(dialog_, &QProgressDialog::canceled, [this] {
        cancelled_ = true;
        // The dialog hides itself on Cancel; it stays in front, so the window still takes no
        // click, until the file being sent is whole.
        if (QPushButton* cancel = dialog_->findChild<QPushButton*>()) cancel->setEnabled(false);
        dialog_->show();
        Refresh();
    });
    dialog_->show();
    Refresh();
    return true;
}

bool ProgressDisplay::DialogShown() const {
    return dialog_ && dialog_->isVisible();
}

void ProgressDisplay::Refresh() {
    if (!dialog_) return;
    QString text = QStringLiteral("%1\n%2 files, %3 done")
                       .arg(current_)
                       .arg(files_)
                       .arg(QLocale().formattedDataSize(bytes_));
    if (cancelled_) text += QStringLiteral("\nStopping once this file is whole...");
    dialog_->setLabelText(text);
}
