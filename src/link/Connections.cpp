#include "link/Connections.h"

#include "app/Globals.h"
#include "app/MainFrame.h"
#include "app/Services.h"
#include "app/TarvikDoc.h"
#include "link/ConnectSetupDlg.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "pc/ItemKind.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "terminal/TerminalFileTree.h"
#include "terminal/TerminalView.h"

#include <algorithm>

namespace {

constexpr char kConnectFail[] = "Connect fail!\r\nCheck your port!";
constexpr int kArrivalReadings = 5;
constexpr int kArrivalPauseMs = 1000;

}  // namespace

void ConnectDisconnect(CMainFrame& frame) {
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

void HandleDeviceChange(CMainFrame& frame, DeviceEvent event) {
    if (event != DeviceEvent::Arrival && event != DeviceEvent::RemoveComplete) return;
    if (!frame.connected) return;

    TerminalLibrary& library = AppServices().library;
    const uint32_t before = library.TpUsbCount();
    const auto& terminals = g_doc->terminals;
    const bool anyUsb =
        NamesUsbTerminal(g_doc->settings.portName) ||
        std::any_of(terminals.begin(), terminals.end(),
                    [](const auto& record) { return NamesUsbTerminal(record->portName); });
    if (!anyUsb || frame.deviceChangeBusy) return;
    frame.deviceChangeBusy = true;

    // The library may see a new terminal only a few seconds after the system does.
    uint32_t now = before;
    for (int reading = 0; reading < kArrivalReadings; ++reading) {
        now = library.TpUsbCount();
        if (now != before || event == DeviceEvent::RemoveComplete) break;
        AppServices().clock.Pause(kArrivalPauseMs);
    }
    const bool found = FindUsbTerminal(library, g_doc->settings.portName, now) >= 0;
    g_terminalView->SetOnline(found);
    frame.deviceChangeBusy = false;
}
