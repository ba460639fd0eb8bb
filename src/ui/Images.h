#pragma once

#include <QCursor>
#include <QIcon>
#include <QList>

// The program's images, in the order of the trees' image lists.
QList<QIcon> FileModeImages();    // kinds 0..8, 16 x 16
QList<QIcon> PcProjectImages();   // "Project:" root, project; 32 x 32
QList<QIcon> RosterImages();      // "Terminal" root, terminal, project on a terminal; 32 x 32

// Toolbar images of a mode: the three buttons, then the Connect/Disconnect connected look.
QList<QIcon> ToolbarImages(bool projectMode);

QIcon ApplicationIcon();

enum class DragCursor { DropFile = 104, NoFile = 133, DropProject = 132, NoProject = 136 };
QCursor Cursor(DragCursor cursor);
