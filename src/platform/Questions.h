#pragma once

#include <QString>

class Prompter;

// The questions the program asks, each with its text in one place. True for Yes.

// "%s exist, Overwrite?" about a destination file that exists already.
bool AskOverwrite(Prompter& prompter, const QString& destination);
