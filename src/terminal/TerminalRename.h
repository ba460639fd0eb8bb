#pragma once

#include <QString>

struct ConnectionSettings;
struct Services;

// Renames a terminal file or folder: `oldPath` is its full terminal path, `newName` the new
// name alone, so the item keeps its folder. Tells the user what went wrong; true on success.
// Journaled as "rename".
bool RenameTerminalItem(const Services& services, const ConnectionSettings& settings,
                        const QString& oldPath, const QString& newName);
