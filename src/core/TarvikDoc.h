#pragma once

#include "link/ConnectionSettings.h"

#include <QString>

#include <memory>
#include <vector>

// The one document: the File Mode connection and the terminals connected in Project Mode.
// Nothing of it is ever saved.
class CTarvikDoc {
public:
    CTarvikDoc();
    ~CTarvikDoc();
    CTarvikDoc(const CTarvikDoc&) = delete;
    CTarvikDoc& operator=(const CTarvikDoc&) = delete;

    ConnectionSettings settings{"Com1", 6, "", ""};
    // Record i stands for the roster's i-th terminal item.
    std::vector<std::unique_ptr<ConnectionSettings>> terminals;
};

// The one document, while the program runs.
extern CTarvikDoc* g_doc;

// The data folder: project files, project folders and temporary files. Set once at start-up.
extern QString DataFolder;
