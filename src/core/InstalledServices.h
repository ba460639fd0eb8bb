#pragma once

#include "core/Services.h"

// The services the program has installed: the terminal modules, its prompter (the window's
// message boxes), the real clock, the PC's files and its progress display.
Services InstalledServices();
