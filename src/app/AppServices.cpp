#include "app/AppServices.h"

#include "link/TerminalLibrary.h"
#include "platform/Clock.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

Services AppServices() {
    return {Tp(), Prompt(), SystemClock(), LocalFiles(), InstalledProgress()};
}
