#pragma once

#include <QTime>

// Fixed pauses and the local time of day; tests install one that records instead of waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void Pause(int milliseconds) = 0;
    virtual QTime TimeOfDay() = 0;
};

Clock& SystemClock();

// Installs `clock` (not owned) in place of the real one; nullptr restores it.
void InstallClock(Clock* clock);
