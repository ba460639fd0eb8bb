#include "platform/Progress.h"

ProgressObserver& NoProgress() {
    static ProgressObserver none;
    return none;
}
