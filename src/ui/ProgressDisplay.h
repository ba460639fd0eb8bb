#pragma once

#include "platform/Progress.h"

#include <QElapsedTimer>
#include <QPointer>

class QMainWindow;

#include <QProgressDialog>

// Shows a running operation: the file being sent in the status bar and, once the work lasts
// more than a moment, a modal dialog with the counts and a Cancel button that is honoured
// before the next file.
class ProgressDisplay final : public ProgressObserver {
public:
    explicit ProgressDisplay(QMainWindow& frame) : frame_(frame) {}
    ~ProgressDisplay() override;

    void Start();
    void Finish();

    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override;
    void AfterFile(qint64 bytes) override;
    // During an operation the step runs on a thread of its own while the window is drawn and
    // the dialog appears when due; no click reaches the window under the work meanwhile.
    void RunLong(const std::function<void()>& step) override;

    int FilesDone() const { return files_; }
    qint64 BytesDone() const { return bytes_; }
    // The dialog while it is shown, for tests and the accessibility bus.
    QProgressDialog* Dialog() const { return dialog_; }

    // How long the work runs before the dialog appears.
    static constexpr int kDialogDelayMs = 1000;

private:
    void Refresh();
    // Shows the dialog once the work has lasted more than a moment; true when it is shown.
    bool ShowDialogWhenDue();
    bool DialogShown() const;

    QMainWindow& frame_;
    QElapsedTimer timer_;
    QPointer<QProgressDialog> dialog_;
    QString current_;
    int files_ = 0;
    qint64 bytes_ = 0;
    bool cancelled_ = false;
};
