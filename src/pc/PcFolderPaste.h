#pragma once

#include "pc/PcFileOperations.h"

#include <QList>
#include <QStringList>

struct ConnectionSettings;
struct Services;

// What a paste into a PC folder did to its sources, for the trees to show.
struct PcPasteResult {
    QStringList gone;     // source files and folders that moved away whole
    QStringList changed;  // source folders that a move emptied only in part
    bool reached = true;  // false: the terminal did not answer and nothing was done
    bool cancelled = false;
};

// Copies (copy true) or moves PC files and folders into the PC folder `target`. A file that
// exists there is replaced only after the user said Yes; a folder merges into an existing
// one. A move takes from its source only what arrived whole.
PcPasteResult PasteIntoPcFolder(const Services& services, const QList<PathAndKind>& sources,
                                const QString& target, bool copy);

// The same from the terminal that `settings` names, over one link for the whole paste. A
// move deletes on the terminal exactly the files that arrived whole, then each folder that
// it left empty. Journaled as "get".
PcPasteResult PasteTerminalIntoPcFolder(const Services& services,
                                        const ConnectionSettings& settings,
                                        const QList<PathAndKind>& sources, const QString& target,
                                        bool copy);
