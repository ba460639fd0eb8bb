#pragma once

class CMainFrame;

// The edit commands on the frame's active tree; each does nothing without one.
void CutOrCopy(CMainFrame& frame, bool copy);
void PasteClipboard(CMainFrame& frame);
void DeleteSelection(CMainFrame& frame);
// Formats the terminal drive of the last right click; the command offers no other target.
void FormatActiveDrive(CMainFrame& frame);
