#pragma once

#include <QDialog>
#include <functional>

// Runs `answer` on the next modal dialog as soon as it is shown; `answer` must close it.
// Lets a test drive a command that opens a dialog with exec().
void WhenModalShown(std::function<void(QDialog&)> answer);
