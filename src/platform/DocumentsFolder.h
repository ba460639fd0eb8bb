#pragma once

#include <QString>

// The user's documents folder: the XDG documents folder, else $HOME/Documents. Not created.
QString DocumentsFolder();
