#pragma once

#include "platform/Clock.h"

#include <functional>
#include <vector>

// Records pauses instead of waiting; installed for its lifetime.
class RecordingClock final : public Clock {
public:
    RecordingClock() { InstallClock(this); }
    ~RecordingClock() override { InstallClock(nullptr); }

    void Pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        if (onPause) onPause(static_cast<int>(pauses.size()));
    }
    QTime TimeOfDay() override { return time; }

    std::vector<int> pauses;
    QTime time{12, 0, 0};
    // Runs at each pause with the number of pauses so far, to change the world meanwhile.
    std::function<void(int)> onPause;
};
