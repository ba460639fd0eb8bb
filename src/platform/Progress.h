#pragma once

#include <QString>
#include <functional>

// What a long operation tells about its work, one file at a time. The default does nothing,
// so a quick operation looks the same with or without an observer.
class ProgressObserver {
public:
    virtual ~ProgressObserver() = default;
    // Before a file is sent; false asks the operation to stop here, before this file.
    virtual bool BeforeFile(const QString& from, const QString& to, qint64 bytes) {
        Q_UNUSED(from);
        Q_UNUSED(to);
        Q_UNUSED(bytes);
        return true;
    }
    // After the file is whole at its destination, or was given up.
    virtual void AfterFile(qint64 bytes) { Q_UNUSED(bytes); }
    // Runs one step of the work that may block for long, such as a file on a slow line; a
    // window keeps itself drawn meanwhile. Nothing can stop the step once it runs.
    virtual void RunLong(const std::function<void()>& step) { step(); }
};

// An observer that watches nothing and never cancels.
ProgressObserver& NoProgress();

// The window's observer (not owned), which the program's operations report to; nullptr
// restores NoProgress.
void InstallProgress(ProgressObserver* observer);
ProgressObserver& InstalledProgress();
