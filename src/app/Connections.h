#pragma once

#include "platform/DeviceWatcher.h"

#include <QString>
#include <memory>

struct CommandState;
struct ConnectionSettings;
struct TerminalIdentity;
class CTerminalView;
class QWidget;
class UsbNotices;

// The connection commands: File Mode's one terminal, Project Mode's roster. Each waits for a
// running USB wait to settle first; dialogs open over `window`.
void ConnectDisconnect(CommandState& state, CTerminalView& view, UsbNotices& usb);
// The record New Connect added to the roster, null when none was.
const ConnectionSettings* NewConnect(CTerminalView& view, UsbNotices& usb, QWidget* window);
// The port of the terminal Close Connect took out of the roster, empty when none.
QString CloseConnect(CommandState& state, CTerminalView& view);
// Puts a terminal that answered at the end of the roster; `identity` is null when its read failed.
const ConnectionSettings& AddToRoster(CTerminalView& view, std::unique_ptr<ConnectionSettings> record,
                                      const TerminalIdentity* identity);

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

// A USB terminal plugged in or pulled out while File Mode is connected to one. The library may
// see a new terminal only seconds after the system does, so the count is read up to five times
// a second apart by a timer, the window answering all the while. Notices that arrive during a
// wait join it, and a result reached while an operation runs waits until it ends.
class UsbNotices : public QObject {
public:
    UsbNotices(const CommandState& state, CTerminalView& view);

    void Notice(DeviceEvent event);
    // A result reached while an operation runs is held until it ends, then shown.
    void OperationStarted() { operationRunning_ = true; }
    void OperationEnded();
    // Returns once a running wait has ended, the window repainting meanwhile but taking no
    // input: a command that opens links to terminals needs the library's settled view.
    void Settle();
    bool Waiting() const { return waiting_; }
    // Tests wait less than a second between readings.
    void SetReadingInterval(int milliseconds) { timer_.setInterval(milliseconds); }

private:
    void Read();
    void Finish(bool found);

    const CommandState& state_;
    CTerminalView& view_;
    bool operationRunning_ = false;
    QTimer timer_;
    bool waiting_ = false;
    bool removal_ = false;
    uint32_t before_ = 0;
    int readings_ = 0;
    std::optional<bool> heldOnline_;
};
