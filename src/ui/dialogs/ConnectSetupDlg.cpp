#include "ui/dialogs/ConnectSetupDlg.h"

#include "link/TerminalPorts.h"
#include "link/TerminalLibrary.h"
#include "platform/Prompter.h"
#include "platform/SerialPorts.h"
#include "ui_ConnectSetupDlg.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kHighestBaudIndex = 5;

int BaudIndexFor(int32_t baudCode) {
    return baudCode >= 1 && baudCode <= kHighestBaudIndex ? baudCode - 1 : kHighestBaudIndex;
}

}  // namespace

CConnectSetupDlg::CConnectSetupDlg(ConnectionSettings* record, QWidget* parent)
    : QDialog(parent),
      record_(record),
      ui_(std::make_unique<Ui::ConnectSetupDlg>()),
      baudIndex_(BaudIndexFor(record->baudCode)) {
    ui_->setupUi(this);
    setFixedSize(size().expandedTo(minimumSizeHint()));

    connect(ui_->okButton, &QPushButton::clicked, this, &CConnectSetupDlg::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CConnectSetupDlg::reject);

    ui_->baudBox->setCurrentIndex(baudIndex_);
    BuildPortList();
    SelectRecordPort();
    ApplyBaudRule();
    connect(ui_->portBox, &QComboBox::currentIndexChanged, this, &CConnectSetupDlg::ApplyBaudRule);

    if (DeviceWatcher* watcher = DeviceWatcher::Current()) {
        connect(watcher, &DeviceWatcher::deviceChanged, this, &CConnectSetupDlg::OnDeviceChange);
    }
}

CConnectSetupDlg::~CConnectSetupDlg() = default;

void CConnectSetupDlg::BuildPortList() {
    ui_->portBox->clear();
    // A device-change refresh holds the flag across the reselection that follows.
    const bool wasRefreshing = refreshing_;
    refreshing_ = true;
    for (const std::string& name : ModulePortNames(Tp(), &Prompt())) {
        ui_->portBox->addItem(QString::fromLocal8Bit(name));
    }
    ui_->portBox->addItems(PcSerialPortNames());

    refreshing_ = wasRefreshing;
}

void CConnectSetupDlg::SelectRecordPort() {
    QComboBox* box = ui_->portBox;
    const QString portName = QString::fromLocal8Bit(record_->portName);
    if (portName.isEmpty()) {
        box->setCurrentIndex(0);
        return;
    }
    // The search starts after entry 0 and wraps around to it.
    const int count = box->count();
    for (int step = 1; step <= count; ++step) {
        const int index = step % count;
        if (box->itemText(index).compare(portName, Qt::CaseInsensitive) == 0) {
            box->setCurrentIndex(index);
            return;
        }
    }
    box->setCurrentIndex(-1);
}

void CConnectSetupDlg::ApplyBaudRule() {
    // Only serial ports take a baud rate; USB and other terminals ignore it.
    ui_->baudBox->setEnabled(ui_->portBox->currentText().contains(QLatin1String("COM")));
}

void CConnectSetupDlg::OnDeviceChange(DeviceEvent event) {
    if (event != DeviceEvent::NodesChanged || refreshing_) return;
    refreshing_ = true;
    BuildPortList();
    SelectRecordPort();
    ApplyBaudRule();
    refreshing_ = false;
}

void CConnectSetupDlg::accept() {
    baudIndex_ = ui_->baudBox->currentIndex();
    const QString port = ui_->portBox->currentText();
    if (port.isEmpty()) {
        ShowMessage(QStringLiteral("Please select a communication port."));
        return;
    }
    record_->portName = port.toLocal8Bit().toStdString();
    record_->baudCode = baudIndex_ + 1;
    QDialog::accept();
}
