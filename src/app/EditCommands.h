#pragma once

class CMainFrame;

// The edit commands on the frame's active tree; each does nothing without one.
void CutOrCopy(CMainFrame& frame, bool copy);
void PasteClipboard(CMainFrame& frame);
void DeleteSelection(CMainFrame& frame);
// Property: the properties of the active tree's context item, in either mode.
void ShowActiveProperties(CMainFrame& frame);
