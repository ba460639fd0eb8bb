#pragma once

#include "link/ConnectionSettings.h"
#include "platform/DeviceWatcher.h"

#include <QDialog>
#include <memory>

namespace Ui {
class ConnectSetupDlg;
}

// Lets the user choose the port and baud rate of a connection record; the port list follows
// devices coming and going while the dialog is open.
class CConnectSetupDlg : public QDialog {
    Q_OBJECT
public:
    // `record` is not owned and must outlive the dialog; it is written only on OK.
    explicit CConnectSetupDlg(ConnectionSettings* record, QWidget* parent = nullptr);
    ~CConnectSetupDlg() override;

    void accept() override;

public Q_SLOTS:
    void OnDeviceChange(DeviceEvent event);

private:
    void BuildPortList();
    void SelectRecordPort();
    void ApplyBaudRule();

    bool refreshing_ = false;
    ConnectionSettings* record_;
    std::unique_ptr<Ui::ConnectSetupDlg> ui_;
    int baudIndex_;
};
