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
// The median time of each contender, their rounds taken in turn (reset before each), so a
// machine whose state drifts (a disk settling after deletions) weighs on all of them alike.
inline std::vector<double> MedianMsInTurn(int rounds, const std::vector<std::function<void()>>& contenders,
                                          const std::function<void()>& reset = {}) {
    std::vector<std::vector<double>> times(contenders.size());
    for (int i = 0; i < rounds; ++i) {
        for (size_t c = 0; c < contenders.size(); ++c) {
            if (reset) reset();
            QElapsedTimer timer;
            timer.start();
            contenders[c]();
            times[c].push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& each : times) {
        std::sort(each.begin(), each.end());
        medians.push_back(each[each.size() / 2]);
    }
    return medians;
}

inline double MedianMs(int rounds, const std::function<void()>& round, const std::function<void()>& reset = {}) {
    return MedianMsInTurn(rounds, {round}, reset).front();
}
