#include "app/Services.h"

#include "app/Globals.h"
#include "app/MainFrame.h"
#include "link/TerminalLibrary.h"
#include "platform/Clock.h"
#include "platform/PcFileSystem.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

Services AppServices() {
    ProgressObserver& progress = g_mainFrame ? g_mainFrame->Progress() : NoProgress();
    return {Tp(), Prompt(), SystemClock(), LocalFiles(), progress};
}
