#include "link/ModuleLimits.h"

#include "platform/Prompter.h"

#include <QString>
#include <algorithm>

namespace {

bool faultTold = false;

}  // namespace

uint32_t BoundedCount(int64_t reported, Prompter* prompter) {
    if (reported <= int64_t(kMaxModuleCount)) return uint32_t(std::max<int64_t>(reported, 0));
    if (prompter && !faultTold) {
        faultTold = true;
        ShowMessage(*prompter, QStringLiteral("The terminal library reports %1 ports or terminals, "
                                              "more than a PC can have: it is faulty. Only the "
                                              "first %2 are used.")
                                   .arg(reported)
                                   .arg(kMaxModuleCount));
    }
    return kMaxModuleCount;
}

int32_t BoundedNameLength(int32_t reported) {
    return std::clamp(reported, 0, kMaxModuleNameLength);
}

void ForgetModuleFault() { faultTold = false; }
