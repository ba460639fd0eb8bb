#pragma once

class QTreeWidget;

// What the program adds to Qt's accessibility: the application's children are the windows
// on screen, open context menus among them; and check lists (below). Safe to call again.
void InstallAccessibility();

// A flat list of check boxes: each line's Toggle action checks or unchecks it, as a click on
// its box does (Qt's own only selects the line). Call before the list is first shown.
void MakeAccessibleCheckList(QTreeWidget& list);
