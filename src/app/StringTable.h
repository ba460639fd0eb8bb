#pragma once

#include <QString>

// The status-bar prompt and the tooltip of a command, or empty ones for a command without.
QString StatusPrompt(int commandId);
QString ToolTipText(int commandId);
