#pragma once

#include "fleet/FleetRefresh.h"
#include "fleet/FleetTable.h"
#include "ui/dialogs/FleetWindow.h"

#include <QObject>
#include <QPointer>

struct ConnectionSettings;
class CTerminalView;
class QWidget;

// The whole fleet in the window: the fleet table of every roster terminal, read through
// workers; the roster remembered between runs and reconnected in the background; Collect Data
// from every terminal at once.
class Fleet : public QObject {
    Q_OBJECT
public:
    Fleet(CTerminalView& view, QWidget* window);
    ~Fleet() override;

    FleetTable& Table() { return table_; }
    FleetRefresh& Reading() { return refresh_; }
    FleetWindow* Window() const { return fleetWindow_; }

    // Reads the remembered roster and reconnects its terminals in the background; each joins
    // the roster as it answers and shows off-line in the table when it does not.
    void Restore();
    void Connected(const ConnectionSettings& record);
    void Closed(const QString& port);
    // Closes every roster terminal and forgets the roster, so the next run starts empty.
    void Forget();
    void ShowWindow();
    // Reads every terminal again, now, or once an operation ends while the table is shown.
    void Refresh() { refresh_.Refresh(); }
    void OperationEnded();
    void Settle() { refresh_.Settle(); }
    void Export();
    // Uploads the data files of `projectName` from every roster terminal that has it installed,
    // one worker each, into DataFolder/PROJECT/SERIAL.
    void Collect(const QString& projectName);

private:
    // Reads the terminals again and waits for them: what follows acts on what they hold now.
    void ReadNow();

    void Remember();
    void TerminalRead(const QString& port, bool online);

    CTerminalView& view_;
    QWidget* window_;
    FleetTable table_;
    FleetRefresh refresh_;
    QPointer<FleetWindow> fleetWindow_;
};
