#include "app/StringTable.h"

#include "app/CommandIds.h"

#include <array>
#include <utility>

namespace {

// Each string: the status-bar prompt, a line break, the tooltip.
constexpr std::array<std::pair<int, const char*>, 22> kCommandPrompts{{
    {ID_PROJECT_MODE, "Switch to Project Mode to handle Project.\nProject Mode"},
    {ID_FILE_MODE, "Switch to File Mode to handle general file.\nFile Mode"},
    {ID_COM_SETUP, "Communication port Setup.\nCom Setup"},
    {ID_CONNECT, "Connect/Disconnect to Terminal.\nConnect/Disconnect"},
    {ID_FW_UPGRADE, "Upgrade Device Firmware.\nUpgrad F/W"},
    {ID_NEW_CONNECT, "Create new connection\nNew"},
    {ID_CLOSE_CONNECT, "Close connection.\nClose"},
    {ID_APP_ABOUT, "Show the program's name and version.\nAbout"},
    {ID_APP_EXIT, "Quit the program.\nExit"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar.\nToolbar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar.\nStatus Bar"},
    {ID_VIEW_JOURNAL, "Show what was done to every terminal.\nJournal"},
    {ID_EDIT_CUT, "Cut the selection to the clipboard.\nCut"},
    {ID_EDIT_COPY, "Copy the selection to the clipboard.\nCopy"},
    {ID_EDIT_PASTE, "Paste the clipboard here.\nPaste"},
    {ID_DELETE, "Delete the selection.\nDelete"},
    {ID_NEW_FOLDER, "Create a new folder.\nNew Folder"},
    {ID_RENAME, "Rename the item.\nRename"},
    {ID_VIEW_FLEET, "Show every roster terminal in a table.\nFleet"},
    {ID_EXPORT_FLEET, "Write the fleet table as a CSV file.\nExport Fleet"},
    {ID_FORGET_ROSTER, "Close every roster terminal and forget the roster.\nForget Roster"},
    {ID_COLLECT_DATA, "Upload the project's data files from every terminal that has it.\nCollect Data"},
}};

QString Prompt(int commandId) {
    for (const auto& [id, text] : kCommandPrompts) {
        if (id == commandId) return QString::fromLatin1(text);
    }
    return {};
}

}  // namespace

QString StatusPrompt(int commandId) { return Prompt(commandId).section('\n', 0, 0); }

QString ToolTipText(int commandId) { return Prompt(commandId).section('\n', 1, 1); }
