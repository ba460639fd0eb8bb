#pragma once

class QWidget;

// Makes the window's message boxes and file dialogs, owned by `owner`, the program's prompter;
// nullptr takes them away again.
void SetPromptOwner(QWidget* owner);

// How many message boxes the window has shown so far.
int WindowMessagesShown();
