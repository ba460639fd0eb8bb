#pragma once

struct CommandState;
class QWidget;

// The edit commands on the active tree; each does nothing without one. Dialogs open over
// `window`.
void CutOrCopy(CommandState& state, bool copy);
void PasteClipboard(CommandState& state);
void DeleteSelection(CommandState& state);
// Asks for a name, then makes that folder in the active tree's context item.
void NewFolderInContextItem(CommandState& state, QWidget* window);
// Asks for a name, then renames the active tree's context item.
void RenameContextItem(CommandState& state, QWidget* window);
// Formats the terminal drive of the last right click; the command offers no other target.
void FormatActiveDrive(const CommandState& state);
// Property: the properties of the active tree's context item, in either mode.
void ShowActiveProperties(const CommandState& state);
