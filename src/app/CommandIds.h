#pragma once

// Command ids of the menus, toolbars, accelerators and context menus.
enum CommandId : int {
    ID_PROJECT_MODE = 32771,
    ID_FILE_MODE = 32772,
    ID_COM_SETUP = 32773,
    ID_DELETE = 32774,
    ID_PROPERTY = 32775,
    ID_CONNECT = 32776,
    ID_FORMAT = 32777,
    ID_NEW_FOLDER = 32778,
    ID_RENAME = 32779,
    ID_FW_UPGRADE = 32780,
    ID_NEW_CONNECT = 32781,
    ID_CLOSE_CONNECT = 32782,
    ID_VIEW_JOURNAL = 32783,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};
