#pragma once

#include "app/MainFrame.h"
#include "app/TarvikDoc.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <memory>

class CFileTreeCtrl;
class QTreeWidgetItem;

// The document and the main window as start-up makes them, over a temporary data folder.
// Install the terminal library (a TempBench or a mock) before creating it.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();

    CTarvikDoc& Doc() { return *doc_; }
    CMainFrame& Frame() { return *frame_; }
    ScriptedPrompter& Prompter() { return prompter_; }

    // A left click on an item, through the tree's own mouse handling.
    static void Click(CFileTreeCtrl& tree, QTreeWidgetItem* item, bool control = false);

    // Runs New Connect, choosing `portName` in the Connect Setup dialog (empty: Cancel).
    void NewConnect(const QString& portName);

private:
    ScriptedPrompter prompter_;
    QTemporaryDir dataFolder_;
    QString previousDataFolder_;
    std::unique_ptr<CTarvikDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};
