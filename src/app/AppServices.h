#pragma once

#include "core/Services.h"

// The program's own: the terminal modules, the window's message boxes, the real clock, the
// PC's files and the window's progress display. Only the window's adaptors call this.
Services AppServices();
