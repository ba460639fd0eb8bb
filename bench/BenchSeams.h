#pragma once

#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QElapsedTimer>
#include <QTime>
#include <algorithm>
#include <functional>
#include <vector>

// What a benchmark run hands the operations instead of the window's seams.

// The terminal's fixed pauses are not slept: a benchmark measures the work.
class NoPauses final : public Clock {
public:
    void Pause(int) override {}
    QTime TimeOfDay() override { return QTime::currentTime(); }
};

// Any message box means the run did not go as measured.
class NoMessages final : public Prompter {
public:
    void Message(const QString& text, const QString&) override {
        qFatal("message: %s", qPrintable(text));
    }
    bool Question(const QString& text, const QString&) override {
        qFatal("question: %s", qPrintable(text));
        return false;
    }
    QString OpenFile(const QString&, const QString&) override { return {}; }
};

// The median of `rounds` runs of `round`, in milliseconds; `reset` runs untimed before each.
inline double MedianMs(int rounds, const std::function<void()>& round, const std::function<void()>& reset = {}) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        if (reset) reset();
        QElapsedTimer timer;
        timer.start();
        round();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
