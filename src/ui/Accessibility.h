#pragma once

// What the program adds to Qt's accessibility: the application's children are the windows
// on screen, open context menus among them. Safe to call again.
void InstallAccessibility();
