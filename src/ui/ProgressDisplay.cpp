#include "ui/ProgressDisplay.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMainWindow>
#include <QProgressDialog>
#include <QStatusBar>

ProgressDisplay::~ProgressDisplay() { delete dialog_; }

void ProgressDisplay::Start() {
    timer_.start();
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
    const QString current = QStringLiteral("%1 -> %2").arg(from, to);
    frame_.statusBar()->showMessage(QStringLiteral("Sending %1").arg(current));
    if (!dialog_ && timer_.elapsed() >= kDialogDelayMs) {
        dialog_ = new QProgressDialog(&frame_);
        dialog_->setObjectName(QStringLiteral("progressDialog"));
        dialog_->setWindowTitle(QStringLiteral("Tarvik"));
        dialog_->setAccessibleName(QStringLiteral("Progress"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setRange(0, 0);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        QObject::connect(dialog_, &QProgressDialog::canceled, [this] { cancelled_ = true; });
        dialog_->show();
    }
    Refresh(current);
    return !cancelled_;
}

void ProgressDisplay::AfterFile(qint64 bytes) {
    ++files_;
    bytes_ += bytes;
}

void ProgressDisplay::Refresh(const QString& current) {
    if (dialog_) {
        dialog_->setLabelText(QStringLiteral("%1\n%2 files, %3 done")
                                  .arg(current)
                                  .arg(files_)
                                  .arg(QLocale().formattedDataSize(bytes_)));
    }
    // Until the modal dialog stands in front, no click may reach the trees under the work.
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
}
