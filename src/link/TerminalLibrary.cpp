#include "link/TerminalLibrary.h"

#include "link/ModuleLibrary.h"
#include "link/ModuleSearch.h"

#include <QCoreApplication>

namespace {
TerminalLibrary* g_installed = nullptr;
}

TerminalLibrary& Tp() {
    if (g_installed) return *g_installed;
    // Found from the executable's own folder, as the platform finds a program's own modules,
    // so a build tree and an installed tree both run as they are.
    static ModuleLibrary modules(
        ModuleSearchFolders(QCoreApplication::applicationDirPath().toStdString()));
    return modules;
}

void InstallTerminalLibrary(TerminalLibrary* library) { g_installed = library; }
