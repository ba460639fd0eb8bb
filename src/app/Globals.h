#pragma once

#include <QString>

class CTarvikDoc;
class CMainFrame;
class CTerminalView;

// The data folder: project files, project folders and temporary files. Set once at start-up.
extern QString DataFolder;

extern CTarvikDoc* g_doc;
extern CMainFrame* g_mainFrame;
extern CTerminalView* g_terminalView;
