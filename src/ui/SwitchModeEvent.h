#pragma once

#include <QEvent>

// The private event type the frame sends both panes on a mode switch.
inline constexpr int UM_SWITCHMODE = 32769;

// The frame's mode-switch notice to a pane; File Mode is 1, Project Mode 0.
class SwitchModeEvent final : public QEvent {
public:
    explicit SwitchModeEvent(int fileMode)
        : QEvent(static_cast<QEvent::Type>(UM_SWITCHMODE)), fileMode(fileMode) {}
    const int fileMode;
};
