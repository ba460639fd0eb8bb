#include "platform/Clock.h"

#include <QThread>

namespace {

class RealClock final : public Clock {
public:
    void Pause(int milliseconds) override { QThread::msleep(static_cast<unsigned long>(milliseconds)); }
    QTime TimeOfDay() override { return QTime::currentTime(); }
};

Clock* g_installed = nullptr;

}  // namespace

Clock& SystemClock() {
    static RealClock real;
    return g_installed ? *g_installed : real;
}

void InstallClock(Clock* clock) { g_installed = clock; }
