#pragma once

class CFileTreeCtrl;
class CMainFrame;
class CTarvikDoc;

// Whether a command is enabled, from the frame's flags, the document and the trees.
bool IsCommandEnabled(int commandId, const CMainFrame& frame, const CTarvikDoc& doc);

// Whether Paste is offered on the active tree with the clipboard of `source`.
bool PasteEnabled(const CFileTreeCtrl* active, const CFileTreeCtrl* source);
