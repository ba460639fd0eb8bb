#pragma once

#include "core/TarvikDoc.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QString>
#include <memory>
#include <string>

// What both modes show once a terminal has taken the image.
inline const QString kUpgradeComplete =
    QStringLiteral("Upgrade complete!\r\nPress any terminal key to restart Terminal!");

// The document a firmware upgrade reads, and the messages it shows.
class FirmwareTest : public ::testing::Test {
protected:
    // Adds a terminal at the default baud code to the Project Mode roster.
    void AddTerminal(std::string port, std::string model, std::string serial) {
        doc.terminals.push_back(std::make_unique<ConnectionSettings>(
            ConnectionSettings{std::move(port), 6, std::move(model), std::move(serial)}));
    }

    CTarvikDoc doc;
    ScriptedPrompter prompter;
};
