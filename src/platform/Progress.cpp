#include "platform/Progress.h"

namespace {

ProgressObserver* g_installed = nullptr;

}  // namespace

ProgressObserver& NoProgress() {
    static ProgressObserver none;
    return none;
}

void InstallProgress(ProgressObserver* observer) { g_installed = observer; }

ProgressObserver& InstalledProgress() { return g_installed ? *g_installed : NoProgress(); }
