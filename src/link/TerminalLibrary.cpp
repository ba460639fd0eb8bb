#include "link/TerminalLibrary.h"

#include "link/ModuleLibrary.h"

#include <QCoreApplication>

namespace {
TerminalLibrary* g_installed = nullptr;
}

TerminalLibrary& Tp() {
    if (g_installed) return *g_installed;
    // Found beside the executable, as the platform finds a program's own modules.
    static ModuleLibrary modules(QCoreApplication::applicationDirPath().toStdString());
    return modules;
}

void InstallTerminalLibrary(TerminalLibrary* library) { g_installed = library; }
