#pragma once

#include <QString>

// Outcome of moving one PC entry to the Trash.
enum class TrashResult { Moved, NoTrash, Failed };

struct TrashOutcome {
    TrashResult result;
    int error = 0;  // errno when Failed
};

// Moves the entry `path` names into the Trash of its volume, with its .trashinfo, by one
// rename: a folder goes whole, a final symbolic link (dangling or not) goes as the link itself.
// NoTrash when the volume has no usable Trash (none can be found or made there); nothing is
// ever copied across volumes. Trashing the Trash or anything in it fails with EINVAL.
TrashOutcome MoveToTrash(const QString& path);
