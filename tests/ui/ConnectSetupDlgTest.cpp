#include "ui/dialogs/ConnectSetupDlg.h"

#include "platform/DeviceWatcher.h"
#include "platform/SerialPorts.h"
#include "support/MockTerminalLibrary.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using ::testing::_;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

constexpr char kSelectPort[] = "Please select a communication port.";

QStringList Entries(QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
}

// The Communication module lists `names`; the PC has no serial ports unless a test adds some.
class ConnectSetupDlgTest : public ::testing::Test {
protected:
    ConnectSetupDlgTest() {
        InstallSerialDevices(QStringList());
        ON_CALL(library, CommPortCount()).WillByDefault(Invoke([this] {
            ++countCalls;
            if (onCount) onCount();
            return static_cast<int32_t>(names.size());
        }));
        ON_CALL(library, CommPortNameLength()).WillByDefault(Return(32));
        // Like a real module, it writes no NUL of its own and at most `*length` bytes.
        ON_CALL(library, CommPortName(_, _, _))
            .WillByDefault(Invoke([this](int32_t index, char* buffer, int32_t* length) {
                lengths.push_back(*length);
                const std::string& name = names.at(static_cast<size_t>(index));
                std::memcpy(buffer, name.data(), std::min(name.size(), static_cast<size_t>(*length)));
                *length -= shrink;
                return 0;
            }));
    }
    ~ConnectSetupDlgTest() override { InstallSerialDevices(std::nullopt); }

    // Opens the dialog on a record of `port` while the module lists `listed`.
    void Open(std::vector<std::string> listed, std::string port, int32_t baudCode = 6) {
        names = std::move(listed);
        record = {std::move(port), baudCode, "TQ-3100", "10000042"};
        dialog = std::make_unique<CConnectSetupDlg>(&record);
    }
    QComboBox* PortBox() const { return dialog->findChild<QComboBox*>(QStringLiteral("portBox")); }
    QComboBox* BaudBox() const { return dialog->findChild<QComboBox*>(QStringLiteral("baudBox")); }
    void Click(const char* button) { dialog->findChild<QPushButton*>(button)->click(); }

    NiceMock<MockTerminalLibrary> library;
    ScriptedPrompter prompter;
    std::vector<std::string> names;
    std::vector<int32_t> lengths;  // the length passed to each CommPortName call
    int32_t shrink = 0;            // how much the module takes off the length it is passed
    int countCalls = 0;
    std::function<void()> onCount;
    ConnectionSettings record;
    std::unique_ptr<CConnectSetupDlg> dialog;
};

TEST_F(ConnectSetupDlgTest, ListsLibraryNamesInOrderThenPcPortsKeepingDuplicates) {
    InstallSerialDevices(QStringList{"/dev/ttyUSB0", "/dev/ttyS0"});
    Open({"TQ-3100 #2", "Bench", "COM1"}, "Com1");

    EXPECT_EQ(Entries(PortBox()), (QStringList{"TQ-3100 #2", "Bench", "COM1", "COM1", "COM2"}));
}

// A length that grows never lets the module write past the 100-byte buffer.
TEST_F(ConnectSetupDlgTest, LengthWrittenBackByTheModuleIsPassedToTheNextCallWithinTheBuffer) {
    ON_CALL(library, CommPortNameLength()).WillByDefault(Return(40));
    for (const auto& [change, expected] : {std::pair{7, std::vector<int32_t>{40, 33, 26}},
                                           {-500, std::vector<int32_t>{40, 100, 100}}}) {
        lengths.clear();
        shrink = change;
        Open({"A", "B", "C"}, "");

        EXPECT_EQ(lengths, expected);
        EXPECT_EQ(Entries(PortBox()), (QStringList{"A", "B", "C"}));
    }
}

class ConnectSetupNameLength : public ConnectSetupDlgTest,
                               public ::testing::WithParamInterface<int> {};

// The name is longer than the module may write, so it fills the whole buffer.
TEST_P(ConnectSetupNameLength, NameFillingTheWholeBufferIsReadUpToItsEnd) {
    ON_CALL(library, CommPortNameLength()).WillByDefault(Return(GetParam()));
    Open({std::string(static_cast<size_t>(GetParam()) + 5, 'A')}, "");

    EXPECT_EQ(lengths, std::vector<int32_t>{GetParam()});
    EXPECT_EQ(PortBox()->itemText(0), QString(GetParam(), QLatin1Char('A')));
}

// 100 bytes is the least buffer; a longer name length enlarges it.
INSTANTIATE_TEST_SUITE_P(BufferSizes, ConnectSetupNameLength, ::testing::Values(30, 100, 101, 150));

// What the dialog shows on opening: the entry chosen for the record's port, and whether the
// baud box is enabled for it.
struct OpeningCase {
    std::vector<std::string> entries;
    std::string portName;
    int index;
    bool baudEnabled;
};

void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << "[";
    for (const std::string& entry : c.entries) *os << '"' << entry << "\" ";
    *os << "] \"" << c.portName << "\" -> " << c.index << (c.baudEnabled ? ", baud" : ", no baud");
}

class ConnectSetupOpening : public ConnectSetupDlgTest,
                            public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(ConnectSetupOpening, SelectsTheRecordsPortAndAppliesTheBaudRule) {
    Open(GetParam().entries, GetParam().portName);

    EXPECT_EQ(PortBox()->currentIndex(), GetParam().index);
    EXPECT_EQ(BaudBox()->isEnabled(), GetParam().baudEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectSetupOpening,
    ::testing::Values(OpeningCase{{"COM1", "COM2"}, "Com1", 0, true},
                      OpeningCase{{"TQ-3100", "COM2"}, "com2", 1, true},
                      OpeningCase{{"com1", "COM1"}, "Com1", 1, true},  // search starts after 0
                      OpeningCase{{"COM1", "X"}, "Com1", 0, true},     // and wraps to 0
                      OpeningCase{{"COM1", "COM1", "Com1"}, "COM1", 1, true},
                      OpeningCase{{"COM1", "COM2"}, "", 0, true},
                      OpeningCase{{}, "", -1, false},
                      OpeningCase{{"COM1", "COM2"}, "TQ-3100", -1, false},
                      OpeningCase{{"COM10", "COM"}, "COM1", -1, false},
                      // Only a port whose name holds "COM", as written, takes a baud rate.
                      OpeningCase{{"Bench COM port"}, "bench com port", 0, true},
                      OpeningCase{{"TQ-3100 #1"}, "TQ-3100 #1", 0, false},
                      OpeningCase{{"usb1"}, "usb1", 0, false},
                      OpeningCase{{"com3"}, "com3", 0, false}));

// The module lists COM1 and COM4; the user picks the port `port` (-1: leaves the port box
// alone) and 9600 baud, then presses `button`.
struct CloseCase {
    const char* name;
    const char* recordPort;
    int32_t recordBaud;
    int port;
    const char* button;
    const char* writtenPort;
    int32_t writtenBaud;
    QDialog::DialogCode result;
    bool stillShown;
    QStringList messages;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class ConnectSetupClose : public ConnectSetupDlgTest,
                          public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ConnectSetupClose, WritesTheRecordOnlyOnOkWithAPort) {
    const CloseCase& c = GetParam();
    Open({"COM1", "COM4"}, c.recordPort, c.recordBaud);
    dialog->show();

    if (c.port >= 0) PortBox()->setCurrentIndex(c.port);
    BaudBox()->setCurrentIndex(1);
    Click(c.button);

    // Only the port and the rate are ever written.
    EXPECT_EQ(std::tie(record.portName, record.baudCode, record.model, record.serialNumber),
              std::make_tuple(std::string(c.writtenPort), c.writtenBaud, std::string("TQ-3100"),
                              std::string("10000042")));
    EXPECT_EQ(dialog->result(), c.result);
    EXPECT_EQ(dialog->isVisible(), c.stillShown);
    EXPECT_EQ(prompter.messages, c.messages);
    EXPECT_EQ(prompter.captions, QStringList(c.messages.size(), "Tarvik"));
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ConnectSetupClose,
    ::testing::Values(
        CloseCase{"OkWritesTheChoice", "Com1", 6, 1, "okButton", "COM4", 2, QDialog::Accepted,
                  false, {}},
        CloseCase{"CancelLeavesTheRecordUntouched", "Com1", 0, 1, "cancelButton", "Com1", 0,
                  QDialog::Rejected, false, {}},
        // The record's port has vanished, so nothing is selected.
        CloseCase{"OkWithoutAPortAsksForOneAndStaysOpen", "TQ-3100 #2", 0, -1, "okButton",
                  "TQ-3100 #2", 0, QDialog::Rejected, true, {kSelectPort}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BaudCase {
    int32_t code;
    const char* shown;
    int32_t written;
};

void PrintTo(const BaudCase& c, std::ostream* os) {
    *os << c.code << " shown " << c.shown << " written " << c.written;
}

class ConnectSetupBaudCode : public ConnectSetupDlgTest,
                             public ::testing::WithParamInterface<BaudCase> {};

TEST_P(ConnectSetupBaudCode, ShowsTheCodesRateAndWritesItBack) {
    Open({"COM1"}, "com1", GetParam().code);

    EXPECT_EQ(BaudBox()->currentText(), QString::fromLatin1(GetParam().shown));
    Click("okButton");

    EXPECT_EQ(record.baudCode, GetParam().written);
    EXPECT_EQ(record.portName, "COM1");  // the entry's text, not the record's spelling
}

INSTANTIATE_TEST_SUITE_P(Codes, ConnectSetupBaudCode,
                         ::testing::Values(BaudCase{1, "4800", 1}, BaudCase{2, "9600", 2},
                                           BaudCase{3, "19200", 3}, BaudCase{4, "38400", 4},
                                           BaudCase{5, "57600", 5}, BaudCase{6, "115200", 6},
                                           BaudCase{0, "115200", 6}, BaudCase{7, "115200", 6},
                                           BaudCase{-1, "115200", 6}));

TEST_F(ConnectSetupDlgTest, BaudRuleFollowsThePortSelectionAndADisabledBoxStillGivesItsRate) {
    Open({"COM3", "TQ-3100 #1"}, "TQ-3100 #1", 2);
    EXPECT_FALSE(BaudBox()->isEnabled());

    PortBox()->setCurrentIndex(0);
    EXPECT_TRUE(BaudBox()->isEnabled());
    BaudBox()->setCurrentIndex(3);
    PortBox()->setCurrentIndex(1);
    EXPECT_FALSE(BaudBox()->isEnabled());

    Click("okButton");
    EXPECT_EQ(record.portName, "TQ-3100 #1");
    EXPECT_EQ(record.baudCode, 4);
}

TEST_F(ConnectSetupDlgTest, NodesChangedRefreshListsTheNewPortAndReturnsToTheRecordsPort) {
    Open({"COM1", "TQ-3100 #1"}, "tq-3100 #2");
    dialog->show();
    PortBox()->setCurrentIndex(0);  // the user's choice gives way to the record's port
    ASSERT_TRUE(BaudBox()->isEnabled());

    names = {"COM1", "TQ-3100 #1", "TQ-3100 #2"};
    InstallSerialDevices(QStringList{"/dev/ttyACM0"});
    dialog->OnDeviceChange(DeviceEvent::NodesChanged);

    EXPECT_EQ(Entries(PortBox()), (QStringList{"COM1", "TQ-3100 #1", "TQ-3100 #2", "COM1"}));
    EXPECT_EQ(PortBox()->currentText(), "TQ-3100 #2");
    EXPECT_FALSE(BaudBox()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

struct EventCase {
    DeviceEvent event;
    bool refreshes;
};

void PrintTo(const EventCase& c, std::ostream* os) {
    *os << "event " << static_cast<int>(c.event) << (c.refreshes ? " refreshes" : " ignored");
}

class ConnectSetupDeviceEvent : public ConnectSetupDlgTest,
                                public ::testing::WithParamInterface<EventCase> {};

// Sent through the watcher, so the dialog must have connected itself to it.
TEST_P(ConnectSetupDeviceEvent, OnlyNodesChangedRebuildsTheList) {
    DeviceWatcher watcher{QString()};
    Open({"COM1"}, "TQ-3100 #1");

    names = {"COM1", "TQ-3100 #1"};
    Q_EMIT watcher.deviceChanged(GetParam().event);

    EXPECT_EQ(countCalls, GetParam().refreshes ? 2 : 1);
    EXPECT_EQ(PortBox()->count(), GetParam().refreshes ? 2 : 1);
    EXPECT_EQ(PortBox()->currentIndex(), GetParam().refreshes ? 1 : -1);
}

INSTANTIATE_TEST_SUITE_P(Events, ConnectSetupDeviceEvent,
                         ::testing::Values(EventCase{DeviceEvent::NodesChanged, true},
                                           EventCase{DeviceEvent::Arrival, false},
                                           EventCase{DeviceEvent::RemoveComplete, false}));

TEST_F(ConnectSetupDlgTest, NoticeArrivingDuringARefreshIsIgnored) {
    Open({"COM1"}, "COM1");
    bool reentered = false;
    onCount = [&] {
        if (reentered) return;
        reentered = true;
        dialog->OnDeviceChange(DeviceEvent::NodesChanged);
    };

    dialog->OnDeviceChange(DeviceEvent::NodesChanged);
    EXPECT_TRUE(reentered);
    EXPECT_EQ(countCalls, 2);
    EXPECT_EQ(PortBox()->currentText(), "COM1");

    // The guard is lifted again once the refresh is over.
    dialog->OnDeviceChange(DeviceEvent::NodesChanged);
    EXPECT_EQ(countCalls, 3);
}

}  // namespace
