#pragma once

#include "app/MainFrame.h"
#include "core/TarvikDoc.h"
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

    // A right click on an item, or on empty space below the items for null.
    static void RightClick(CFileTreeCtrl& tree, QTreeWidgetItem* item, bool control = false);

    // Presses the left button on `item`, moves to `target` of `to` and releases there, as a
    // mouse held down over two trees would: the move and release go to the pressed tree.
    static void Drag(CFileTreeCtrl& from, QTreeWidgetItem* item, CFileTreeCtrl& to,
                     QTreeWidgetItem* target);
    // The screen point on an item's text.
    static QPoint PointOn(CFileTreeCtrl& tree, QTreeWidgetItem* item);

    // Runs New Connect, choosing `portName` in the Connect Setup dialog (empty: Cancel).
    void NewConnect(const QString& portName);

private:
    ScriptedPrompter prompter_;
    QTemporaryDir dataFolder_;
    QString previousDataFolder_;
    std::unique_ptr<CTarvikDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};
