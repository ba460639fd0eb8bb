#include "app/Connections.h"

#include "app/CommandState.h"
#include "core/InstalledServices.h"
#include "core/ItemKind.h"
#include "core/OperationGate.h"
#include "core/TarvikDoc.h"
#include "link/ModuleLimits.h"
#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "ui/dialogs/ConnectSetupDlg.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

namespace {

constexpr char kConnectFail[] = "Connect fail!\r\nCheck your port!";
constexpr int kArrivalReadings = 5;
constexpr int kArrivalPauseMs = 1000;

}  // namespace

void ConnectDisconnect(CommandState& state, CTerminalView& view, UsbNotices& usb) {
    usb.Settle();
    OperationScope operation;
    const Services services = InstalledServices();
    ConnectionSettings& settings = g_doc->settings;
    const auto address = ParsePort(services.library, settings.portName);
    state.connected = !state.connected;
    if (!state.connected) {
        settings.model.clear();
        settings.serialNumber.clear();
    } else {
        TerminalLink link(services.library, address, settings.baudCode);
        TerminalIdentity identity;
        if (!link) {
            ShowMessage(services.prompter, kConnectFail);
            state.connected = false;
        } else if (const ResultCode rc = link.ReadIdentity(identity); rc != kSuccess) {
            ShowMessage(services.prompter, ResultCodeMessage(rc));
            link.Close();
            state.connected = false;
        } else {
            settings.model = identity.model;
            settings.serialNumber = identity.serialNumber;
            CTerminalFileTree* tree = view.FileTree();
            tree->RootItem()->setText(
                0, QString::fromStdString(TerminalLabel(settings.portName, &identity)));
        }
    }
    view.SetOnline(state.connected);
}

const ConnectionSettings* NewConnect(CTerminalView& view, UsbNotices& usb, QWidget* window) {
    usb.Settle();
    OperationScope operation;
    const Services services = InstalledServices();
    auto record = std::make_unique<ConnectionSettings>(ConnectionSettings{"Com1", 0, "", ""});
    CConnectSetupDlg dialog(record.get(), window);
    if (dialog.exec() != QDialog::Accepted) return nullptr;

    const auto& terminals = g_doc->terminals;
    const bool alreadyOpen = std::any_of(terminals.begin(), terminals.end(), [&](const auto& other) {
        return other->portName == record->portName;
    });
    if (alreadyOpen) {
        ShowMessage(services.prompter, QStringLiteral("The port is already opened!"));
        return nullptr;
    }

    TerminalLink link(services.library, *record);
    if (!link) {
        record.reset();
        ShowMessage(services.prompter, kConnectFail);
        return nullptr;
    }

    // A terminal whose identity cannot be read is still connected, as an unknown device.
    TerminalIdentity identity;
    const bool read = link.ReadIdentity(identity) == kSuccess;
    return &AddToRoster(view, std::move(record), read ? &identity : nullptr);
}

const ConnectionSettings& AddToRoster(CTerminalView& view, std::unique_ptr<ConnectionSettings> record,
                                      const TerminalIdentity* identity) {
    if (identity) {
        record->model = identity->model;
        record->serialNumber = identity->serialNumber;
    } else {
        record->model = "Unknow Device";
        record->serialNumber.clear();
    }
    CTerminalFileTree* roster = view.Roster();
    roster->setEnabled(true);
    roster->InsertItem(roster->RootItem(), QString::fromStdString(TerminalLabel(record->portName, identity)),
                       kKindProjectOrTerminal, false);
    g_doc->terminals.push_back(std::move(record));
    roster->RootItem()->setExpanded(true);
    return *g_doc->terminals.back();
}

QString CloseConnect(CommandState& state, CTerminalView& view) {
    CTerminalFileTree* roster = view.Roster();
    const int position = roster->RecordIndex(roster->CaretItem());
    if (position < 0) return {};
    auto& terminals = g_doc->terminals;
    const QString port = QString::fromStdString(terminals[static_cast<size_t>(position)]->portName);
    terminals.erase(terminals.begin() + position);
    roster->RemoveItem(roster->RootItem()->child(position));
    state.closeConnectEnabled = false;
    roster->setEnabled(!terminals.empty());
    return port;
}

UsbNotices::UsbNotices(const CommandState& state, CTerminalView& view)
    : state_(state), view_(view) {
    timer_.setSingleShot(true);
    timer_.setInterval(kArrivalPauseMs);
    connect(&timer_, &QTimer::timeout, this, &UsbNotices::Read);
}

void UsbNotices::Notice(DeviceEvent event) {
    if (event != DeviceEvent::Arrival && event != DeviceEvent::RemoveComplete) return;
    // Only a change of the port File Mode uses can take its terminal away or bring it back.
    if (!state_.connected || !NamesUsbTerminal(g_doc->settings.portName)) return;
    // A long step may be inside the library, which takes one caller at a time: look again soon.
    if (LibraryBusy()) {
        QTimer::singleShot(timer_.interval(), this, [this, event] { Notice(event); });
        return;
    }
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
    const Services services = InstalledServices();
    before_ = BoundedCount(services.library.TpUsbCount(), &services.prompter);
    Read();
}

void UsbNotices::Read() {
    if (LibraryBusy()) {
        timer_.start();
        return;
    }
    const Services services = InstalledServices();
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
    if (operationRunning_) {
        heldOnline_ = found;
    } else {
        view_.SetOnline(found);
    }
}

void UsbNotices::Settle() {
    while (waiting_) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

void UsbNotices::OperationEnded() {
    operationRunning_ = false;
    if (!heldOnline_) return;
    // A connection ended meanwhile leaves the tree as Disconnect made it.
    if (state_.connected) view_.SetOnline(*heldOnline_);
    heldOnline_.reset();
}
