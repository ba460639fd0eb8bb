#include "core/InstalledServices.h"

#include "link/TerminalLibrary.h"
#include "platform/Clock.h"
#include "platform/LocalFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

Services InstalledServices() {
    return {Tp(), Prompt(), SystemClock(), LocalFiles(), InstalledProgress()};
}
