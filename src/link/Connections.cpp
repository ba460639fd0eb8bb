#include "link/Connections.h"

#include "app/Globals.h"
#include "app/MainFrame.h"
#include "app/AppServices.h"
#include "app/TarvikDoc.h"
#include "link/ConnectSetupDlg.h"
#include "link/ModuleLimits.h"
#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "pc/ItemKind.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "terminal/TerminalFileTree.h"
#include "terminal/TerminalView.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

namespace {

constexpr char kConnectFail[] = "Connect fail!\r\nCheck your port!";
constexpr int kArrivalReadings = 5;
constexpr int kArrivalPauseMs = 1000;

}  // namespace

void ConnectDisconnect(CMainFrame& frame) {
    frame.Usb().Settle();
    OperationScope operation(frame);
    const Services services = AppServices();
    ConnectionSettings& settings = g_doc->settings;
    const auto address = ParsePort(services.library, settings.portName);
    frame.connected = !frame.connected;
    if (!frame.connected) {
        settings.model.clear();
        settings.serialNumber.clear();
    } else {
        TerminalLink link(services.library, address, settings.baudCode);
        TerminalIdentity identity;
        if (!link) {
            ShowMessage(services.prompter, kConnectFail);
            frame.connected = false;
        } else if (const ResultCode rc = link.ReadIdentity(identity); rc != kSuccess) {
            ShowMessage(services.prompter, ResultCodeMessage(rc));
            link.Close();
            frame.connected = false;
        } else {
            settings.model = identity.model;
            settings.serialNumber = identity.serialNumber;
            CTerminalFileTree* tree = g_terminalView->FileTree();
            tree->RootItem()->setText(
                0, QString::fromStdString(TerminalLabel(settings.portName, &identity)));
        }
    }
    frame.SetConnectButtonImage(frame.connected ? 3 : 1);
    g_terminalView->SetOnline(frame.connected);
}

void NewConnect(CMainFrame& frame) {
    frame.Usb().Settle();
    OperationScope operation(frame);
    const Services services = AppServices();
    auto record = std::make_unique<ConnectionSettings>(ConnectionSettings{"Com1", 0, "", ""});
    CConnectSetupDlg dialog(record.get(), &frame);
    if (dialog.exec() != QDialog::Accepted) return;

    const auto& terminals = g_doc->terminals;
    const bool alreadyOpen = std::any_of(terminals.begin(), terminals.end(), [&](const auto& other) {
        return other->portName == record->portName;
    });
    if (alreadyOpen) {
        ShowMessage(services.prompter, QStringLiteral("The port is already opened!"));
        return;
    }

    TerminalLink link(services.library, *record);
    if (!link) {
        record.reset();
        ShowMessage(services.prompter, kConnectFail);
        return;
    }

    // A terminal whose identity cannot be read is still connected, as an unknown device.
    TerminalIdentity identity;
    const bool read = link.ReadIdentity(identity) == kSuccess;
    if (read) {
        record->model = identity.model;
        record->serialNumber = identity.serialNumber;
    } else {
        record->model = "Unknow Device";
        record->serialNumber.clear();
    }
    const QString label =
        QString::fromStdString(TerminalLabel(record->portName, read ? &identity : nullptr));

    CTerminalFileTree* roster = g_terminalView->Roster();
    roster->setEnabled(true);
    roster->InsertItem(roster->RootItem(), label, kKindProjectOrTerminal, false);
    g_doc->terminals.push_back(std::move(record));
    roster->RootItem()->setExpanded(true);
}

void CloseConnect(CMainFrame& frame) {
    CTerminalFileTree* roster = g_terminalView->Roster();
    const int position = roster->RecordIndex(roster->CaretItem());
    if (position < 0) return;
    auto& terminals = g_doc->terminals;
    terminals.erase(terminals.begin() + position);
    roster->RemoveItem(roster->RootItem()->child(position));
    frame.closeConnectEnabled = false;
    roster->setEnabled(!terminals.empty());
}

UsbNotices::UsbNotices(CMainFrame& frame) : frame_(frame) {
    timer_.setSingleShot(true);
    timer_.setInterval(kArrivalPauseMs);
    connect(&timer_, &QTimer::timeout, this, &UsbNotices::Read);
}

void UsbNotices::Notice(DeviceEvent event) {
    if (event != DeviceEvent::Arrival && event != DeviceEvent::RemoveComplete) return;
    // Only a change of the port File Mode uses can take its terminal away or bring it back.
    if (!frame_.connected || !NamesUsbTerminal(g_doc->settings.portName)) return;
    const bool removal = event == DeviceEvent::RemoveComplete;
    if (waiting_) {
        // One plug brings several notices; a removal among them needs no more waiting.
        if (removal) {
            removal_ = true;
            timer_.stop();
            Read();
        }
        return;
    }
    waiting_ = true;
    removal_ = removal;
    readings_ = 0;
    const Services services = AppServices();
    before_ = BoundedCount(services.library.TpUsbCount(), &services.prompter);
    Read();
}

void UsbNotices::Read() {
    const Services services = AppServices();
    const uint32_t now = BoundedCount(services.library.TpUsbCount(), &services.prompter);
    ++readings_;
    // The library may have counted the terminal before the notice came: then it is there.
    const bool found =
        FindUsbTerminal(services.library, g_doc->settings.portName, now, &services.prompter) >= 0;
    if (now != before_ || removal_ || found || readings_ >= kArrivalReadings) {
        Finish(found);
    } else {
        timer_.start();
    }
}

void UsbNotices::Finish(bool found) {
    waiting_ = false;
    // Nothing changes the trees under a running operation.
    if (frame_.OperationRunning()) {
        heldOnline_ = found;
    } else {
        g_terminalView->SetOnline(found);
    }
}

void UsbNotices::Settle() {
    while (waiting_) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

void UsbNotices::OperationEnded() {
    if (!heldOnline_) return;
    // A connection ended meanwhile leaves the tree as Disconnect made it.
    if (frame_.connected) g_terminalView->SetOnline(*heldOnline_);
    heldOnline_.reset();
}
