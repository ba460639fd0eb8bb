#pragma once

class CMainFrame;

// The edit commands on the frame's active tree; each does nothing without one.
void CutOrCopy(CMainFrame& frame, bool copy);
void PasteClipboard(CMainFrame& frame);
void DeleteSelection(CMainFrame& frame);
// Asks for a name, then makes that folder in the active tree's context item.
void NewFolderInContextItem(CMainFrame& frame);
// Asks for a name, then renames the active tree's context item.
void RenameContextItem(CMainFrame& frame);
// Formats the terminal drive of the last right click; the command offers no other target.
void FormatActiveDrive(CMainFrame& frame);
// Property: the properties of the active tree's context item, in either mode.
void ShowActiveProperties(CMainFrame& frame);
