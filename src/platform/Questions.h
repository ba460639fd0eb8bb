#pragma once

#include <QString>

class Prompter;

// The questions the program asks, each with its text in one place. True for Yes.

// "%s exist, Overwrite?" about a destination file that exists already.
bool AskOverwrite(Prompter& prompter, const QString& destination);

// Whether to delete for good what the Trash of its volume cannot take; `path` is the first
// such item, and the answer holds for the rest of the operation.
bool AskDeletePermanently(Prompter& prompter, const QString& path);

// "This project cannot work well for %s!..." before a project goes by drop to a terminal of
// another model than it asks for.
bool AskDropOnOtherModel(Prompter& prompter, const QString& model);

// "The device-%s may run this project not well.\r\nWould you continue to download?" about a
// terminal whose model the project does not name; asked with the caption "Travik".
bool AskDownloadDespiteModel(Prompter& prompter, const QString& terminalText);
