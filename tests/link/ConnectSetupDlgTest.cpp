#include "link/ConnectSetupDlg.h"

#include "platform/DeviceWatcher.h"
#include "platform/SerialPorts.h"
#include "support/MockTerminalLibrary.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QPushButton>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using ::testing::_;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

constexpr char kSelectPort[] = "Please select a communication port.";

QComboBox* PortBox(CConnectSetupDlg& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("portBox"));
}

QComboBox* BaudBox(CConnectSetupDlg& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("baudBox"));
}

void ClickOk(CConnectSetupDlg& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
}

void ClickCancel(CConnectSetupDlg& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
}

QStringList Entries(QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
}

bool SameRecord(const ConnectionSettings& a, const ConnectionSettings& b) {
    return a.portName == b.portName && a.baudCode == b.baudCode && a.model == b.model &&
           a.serialNumber == b.serialNumber;
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
        ON_CALL(library, CommPortName(_, _, _))
            .WillByDefault(Invoke([this](int32_t index, char* buffer, int32_t* length) {
                std::strncpy(buffer, names.at(static_cast<size_t>(index)).c_str(),
                             static_cast<size_t>(*length - 1));
                return 0;
            }));
    }
    ~ConnectSetupDlgTest() override { InstallSerialDevices(std::nullopt); }

    NiceMock<MockTerminalLibrary> library;
    ScriptedPrompter prompter;
    std::vector<std::string> names;
    int countCalls = 0;
    std::function<void()> onCount;
};

TEST_F(ConnectSetupDlgTest, ListsLibraryNamesInOrderThenPcPortsKeepingDuplicates) {
    names = {"TQ-3100 #2", "Bench", "COM1"};
    InstallSerialDevices(QStringList{"/dev/ttyUSB0", "/dev/ttyS0"});
    ConnectionSettings record{"Com1", 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(Entries(PortBox(dialog)),
              (QStringList{"TQ-3100 #2", "Bench", "COM1", "COM1", "COM2"}));
}

TEST_F(ConnectSetupDlgTest, LengthWrittenBackByTheModuleIsPassedToTheNextCall) {
    names = {"A", "B", "C"};
    std::vector<int32_t> seen;
    ON_CALL(library, CommPortNameLength()).WillByDefault(Return(40));
    ON_CALL(library, CommPortName(_, _, _))
        .WillByDefault(Invoke([&](int32_t index, char* buffer, int32_t* length) {
            seen.push_back(*length);
            buffer[0] = names.at(static_cast<size_t>(index))[0];
            *length -= 7;
            return 0;
        }));
    ConnectionSettings record{"", 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(seen, (std::vector<int32_t>{40, 33, 26}));
    EXPECT_EQ(Entries(PortBox(dialog)), (QStringList{"A", "B", "C"}));
}

// A module that writes as many bytes as it is told, with no NUL.
class ConnectSetupNameLength : public ConnectSetupDlgTest,
                               public ::testing::WithParamInterface<int> {};

TEST_P(ConnectSetupNameLength, NameFillingTheWholeBufferIsReadUpToItsEnd) {
    const int nameLength = GetParam();
    names = {"unused"};
    int32_t passed = 0;
    ON_CALL(library, CommPortNameLength()).WillByDefault(Return(nameLength));
    ON_CALL(library, CommPortName(_, _, _))
        .WillByDefault(Invoke([&](int32_t, char* buffer, int32_t* length) {
            passed = *length;
            std::memset(buffer, 'A', static_cast<size_t>(*length));
            return 0;
        }));
    ConnectionSettings record{"", 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(passed, nameLength);
    EXPECT_EQ(PortBox(dialog)->itemText(0), QString(nameLength, QLatin1Char('A')));
}

// 100 bytes is the least buffer; a longer name length enlarges it.
INSTANTIATE_TEST_SUITE_P(BufferSizes, ConnectSetupNameLength, ::testing::Values(30, 100, 101, 150));

struct SelectionCase {
    std::vector<std::string> entries;
    std::string portName;
    int index;
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
    *os << "[";
    for (const std::string& entry : c.entries) *os << '"' << entry << "\" ";
    *os << "] \"" << c.portName << "\" -> " << c.index;
}

class ConnectSetupSelection : public ConnectSetupDlgTest,
                              public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(ConnectSetupSelection, SelectsTheRecordsPort) {
    names = GetParam().entries;
    ConnectionSettings record{GetParam().portName, 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(PortBox(dialog)->currentIndex(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectSetupSelection,
    ::testing::Values(SelectionCase{{"COM1", "COM2"}, "Com1", 0},
                      SelectionCase{{"TQ-3100", "COM2"}, "com2", 1},
                      SelectionCase{{"com1", "COM1"}, "Com1", 1},  // search starts after 0
                      SelectionCase{{"COM1", "X"}, "Com1", 0},     // and wraps to 0
                      SelectionCase{{"COM1", "COM1", "Com1"}, "COM1", 1},
                      SelectionCase{{"COM1", "COM2"}, "", 0}, SelectionCase{{}, "", -1},
                      SelectionCase{{"COM1", "COM2"}, "TQ-3100", -1},
                      SelectionCase{{"COM10", "COM"}, "COM1", -1}));

TEST_F(ConnectSetupDlgTest, VanishedPortLeavesNoSelectionAndOkKeepsTheDialogOpen) {
    names = {"COM1", "TQ-3100 #1"};
    ConnectionSettings record{"TQ-3100 #2", 3, "TQ-3100", "10000042"};
    const ConnectionSettings before = record;
    CConnectSetupDlg dialog(&record);
    dialog.show();

    EXPECT_EQ(PortBox(dialog)->currentIndex(), -1);
    ClickOk(dialog);

    EXPECT_EQ(prompter.messages, QStringList{kSelectPort});
    EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
    EXPECT_TRUE(SameRecord(record, before));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

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
    names = {"COM1"};
    ConnectionSettings record{"com1", GetParam().code, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(BaudBox(dialog)->currentText(), QString::fromLatin1(GetParam().shown));
    ClickOk(dialog);

    EXPECT_EQ(record.baudCode, GetParam().written);
    EXPECT_EQ(record.portName, "COM1");  // the entry's text, not the record's spelling
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Codes, ConnectSetupBaudCode,
                         ::testing::Values(BaudCase{1, "4800", 1}, BaudCase{2, "9600", 2},
                                           BaudCase{3, "19200", 3}, BaudCase{4, "38400", 4},
                                           BaudCase{5, "57600", 5}, BaudCase{6, "115200", 6},
                                           BaudCase{0, "115200", 6}, BaudCase{7, "115200", 6},
                                           BaudCase{-1, "115200", 6}));

TEST_F(ConnectSetupDlgTest, OkWritesTheChosenPortAndRate) {
    names = {"COM1", "COM4"};
    ConnectionSettings record{"Com1", 6, "", ""};
    CConnectSetupDlg dialog(&record);
    dialog.show();

    PortBox(dialog)->setCurrentIndex(1);
    BaudBox(dialog)->setCurrentIndex(1);
    ClickOk(dialog);

    EXPECT_EQ(record.portName, "COM4");
    EXPECT_EQ(record.baudCode, 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ConnectSetupDlgTest, CancelLeavesTheRecordUntouched) {
    names = {"COM1", "COM4"};
    ConnectionSettings record{"Com1", 0, "", ""};
    const ConnectionSettings before = record;
    CConnectSetupDlg dialog(&record);
    dialog.show();

    PortBox(dialog)->setCurrentIndex(1);
    BaudBox(dialog)->setCurrentIndex(2);
    ClickCancel(dialog);

    EXPECT_TRUE(SameRecord(record, before));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

struct BaudRuleCase {
    std::string port;
    bool enabled;
};

void PrintTo(const BaudRuleCase& c, std::ostream* os) {
    *os << '"' << c.port << (c.enabled ? "\" enabled" : "\" disabled");
}

class ConnectSetupBaudRule : public ConnectSetupDlgTest,
                             public ::testing::WithParamInterface<BaudRuleCase> {};

TEST_P(ConnectSetupBaudRule, BaudBoxIsEnabledOnlyForComPorts) {
    names = {GetParam().port};
    ConnectionSettings record{GetParam().port, 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_EQ(BaudBox(dialog)->isEnabled(), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(Ports, ConnectSetupBaudRule,
                         ::testing::Values(BaudRuleCase{"COM3", true},
                                           BaudRuleCase{"Bench COM port", true},
                                           BaudRuleCase{"TQ-3100 #1", false},
                                           BaudRuleCase{"usb1", false},
                                           BaudRuleCase{"com3", false}));  // case-sensitive

TEST_F(ConnectSetupDlgTest, BaudRuleFollowsThePortSelection) {
    names = {"COM3", "TQ-3100 #1"};
    ConnectionSettings record{"TQ-3100 #1", 2, "", ""};
    CConnectSetupDlg dialog(&record);
    EXPECT_FALSE(BaudBox(dialog)->isEnabled());

    PortBox(dialog)->setCurrentIndex(0);
    EXPECT_TRUE(BaudBox(dialog)->isEnabled());
    PortBox(dialog)->setCurrentIndex(1);
    EXPECT_FALSE(BaudBox(dialog)->isEnabled());

    // A disabled box still gives its rate.
    ClickOk(dialog);
    EXPECT_EQ(record.portName, "TQ-3100 #1");
    EXPECT_EQ(record.baudCode, 2);
}

TEST_F(ConnectSetupDlgTest, NoPortSelectedDisablesTheBaudBox) {
    names = {"COM1"};
    ConnectionSettings record{"COM2", 6, "", ""};
    CConnectSetupDlg dialog(&record);

    EXPECT_FALSE(BaudBox(dialog)->isEnabled());
}

TEST_F(ConnectSetupDlgTest, NodesChangedRefreshListsNewPortAndReselectsTheRecordsPort) {
    names = {"COM1", "TQ-3100 #1"};
    ConnectionSettings record{"tq-3100 #2", 6, "", ""};
    CConnectSetupDlg dialog(&record);
    dialog.show();
    ASSERT_EQ(PortBox(dialog)->currentIndex(), -1);

    names = {"COM1", "TQ-3100 #1", "TQ-3100 #2"};
    InstallSerialDevices(QStringList{"/dev/ttyACM0"});
    dialog.OnDeviceChange(DeviceEvent::NodesChanged);

    EXPECT_EQ(Entries(PortBox(dialog)), (QStringList{"COM1", "TQ-3100 #1", "TQ-3100 #2", "COM1"}));
    EXPECT_EQ(PortBox(dialog)->currentText(), "TQ-3100 #2");
    EXPECT_FALSE(BaudBox(dialog)->isEnabled());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ConnectSetupDlgTest, RefreshReturnsToTheRecordsPortOverTheUsersChoice) {
    names = {"COM1", "COM2"};
    ConnectionSettings record{"COM2", 6, "", ""};
    CConnectSetupDlg dialog(&record);
    PortBox(dialog)->setCurrentIndex(0);

    dialog.OnDeviceChange(DeviceEvent::NodesChanged);

    EXPECT_EQ(PortBox(dialog)->currentIndex(), 1);
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
    names = {"COM1"};
    ConnectionSettings record{"TQ-3100 #1", 6, "", ""};
    CConnectSetupDlg dialog(&record);

    names = {"COM1", "TQ-3100 #1"};
    Q_EMIT watcher.deviceChanged(GetParam().event);

    EXPECT_EQ(countCalls, GetParam().refreshes ? 2 : 1);
    EXPECT_EQ(PortBox(dialog)->count(), GetParam().refreshes ? 2 : 1);
    EXPECT_EQ(PortBox(dialog)->currentIndex(), GetParam().refreshes ? 1 : -1);
}

INSTANTIATE_TEST_SUITE_P(Events, ConnectSetupDeviceEvent,
                         ::testing::Values(EventCase{DeviceEvent::NodesChanged, true},
                                           EventCase{DeviceEvent::Arrival, false},
                                           EventCase{DeviceEvent::RemoveComplete, false}));

TEST_F(ConnectSetupDlgTest, NoticeArrivingDuringARefreshIsIgnored) {
    names = {"COM1"};
    ConnectionSettings record{"COM1", 6, "", ""};
    CConnectSetupDlg dialog(&record);
    bool reentered = false;
    onCount = [&] {
        if (reentered) return;
        reentered = true;
        dialog.OnDeviceChange(DeviceEvent::NodesChanged);
    };

    dialog.OnDeviceChange(DeviceEvent::NodesChanged);
    EXPECT_TRUE(reentered);
    EXPECT_EQ(countCalls, 2);
    EXPECT_EQ(PortBox(dialog)->currentText(), "COM1");

    // The guard is lifted again once the refresh is over.
    dialog.OnDeviceChange(DeviceEvent::NodesChanged);
    EXPECT_EQ(countCalls, 3);
}

}  // namespace
