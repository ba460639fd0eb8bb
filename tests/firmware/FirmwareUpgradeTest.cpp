#include "app/TarvikDoc.h"
#include "firmware/FirmwareUpgrade.h"
#include "link/ResultCodes.h"
#include "support/FirmwareImage.h"
#include "support/MockTerminalLibrary.h"
#include "support/ScriptedPrompter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QFile>

using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;
using ::testing::StrEq;
using ::testing::StrictMock;

namespace {

const QString kComplete = "Upgrade complete!\r\nPress any terminal key to restart Terminal!";
constexpr int kOffline = -1000;  // an outcome for a terminal that does not answer

std::unique_ptr<ConnectionSettings> Record(std::string port, std::string model,
                                           std::string serial) {
    return std::make_unique<ConnectionSettings>(
        ConnectionSettings{std::move(port), 6, std::move(model), std::move(serial)});
}

}  // namespace

TEST(FirmwareImageTest, Crc32MatchesTheStandardCheckValue) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
}

struct ItemTextCase {
    const char* port;
    const char* model;
    const char* serial;
    const char* expected;
};

void PrintTo(const ItemTextCase& c, std::ostream* os) {
    *os << c.port << " -> " << c.expected;
}

class FirmwareItemTextTest : public ::testing::TestWithParam<ItemTextCase> {};

TEST_P(FirmwareItemTextTest, NamesTheRecord) {
    const ItemTextCase& c = GetParam();
    EXPECT_EQ(UpgradeItemText({c.port, 6, c.model, c.serial}).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, FirmwareItemTextTest,
    ::testing::Values(ItemTextCase{"COM3", "TQ-3100", "10000042", "COM3-TQ-3100-10000042"},
                      ItemTextCase{"TQ-0001", "TQ-3100", "10000042", "USB-TQ-0001"},
                      ItemTextCase{"PortTQ-7", "TQ-3100", "1", "USB-PortTQ-7"},
                      // "TQ-" is matched as written: neither of these is a USB name here.
                      ItemTextCase{"tq-0001", "TQ-3100", "5", "tq-0001-TQ-3100-5"},
                      ItemTextCase{"TQ0001", "TQ-3100", "5", "TQ0001-TQ-3100-5"},
                      ItemTextCase{"NET1", "Unknow Device", "", "NET1-Unknow Device-"}));

struct EnabledCase {
    bool projectMode;
    int terminals;
    const char* model;
    bool expected;
};

void PrintTo(const EnabledCase& c, std::ostream* os) {
    *os << (c.projectMode ? "project, " : "file, ") << c.terminals << " terminal(s), model \""
        << c.model << '"';
}

class FirmwareUpgradeEnabledTest : public ::testing::TestWithParam<EnabledCase> {};

TEST_P(FirmwareUpgradeEnabledTest, FollowsTheModesConnection) {
    const EnabledCase& c = GetParam();
    CTarvikDoc doc;
    doc.settings.model = c.model;
    for (int i = 0; i < c.terminals; ++i) doc.terminals.push_back(Record("COM1", "TQ-3100", "1"));
    EXPECT_EQ(FirmwareUpgradeEnabled(c.projectMode, doc), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FirmwareUpgradeEnabledTest,
    ::testing::Values(EnabledCase{true, 0, "TQ-3100", false}, EnabledCase{true, 1, "", true},
                      EnabledCase{true, 3, "", true}, EnabledCase{false, 0, "", false},
                      EnabledCase{false, 2, "", false}, EnabledCase{false, 0, "TQ-3100", true}));

class FirmwareFileModeTest : public ::testing::Test {
protected:
    FirmwareFileModeTest() { doc.settings = {"COM5", 3, "TQ-3100", "10000042"}; }

    CTarvikDoc doc;
    ScriptedPrompter prompter;
};

TEST_F(FirmwareFileModeTest, CancelledFileDialogContactsNoTerminal) {
    StrictMock<MockTerminalLibrary> library;
    UpgradeFileModeTerminal();
    EXPECT_EQ(prompter.fileFilters, QStringList{"Firmware Files(*.bin) | *.bin||"});
    EXPECT_TRUE(prompter.messages.isEmpty());
}

struct FileModeResultCase {
    ResultCode result;
    const char* expected;
};

void PrintTo(const FileModeResultCase& c, std::ostream* os) {
    *os << "result " << c.result;
}

class FirmwareFileModeResultTest : public FirmwareFileModeTest,
                                   public ::testing::WithParamInterface<FileModeResultCase> {};

TEST_P(FirmwareFileModeResultTest, SendsTheChosenImageAndReportsTheResult) {
    StrictMock<MockTerminalLibrary> library;
    prompter.AnswerFileDialogs({"/images/Neue Firmware ü.bin"});
    {
        InSequence order;
        EXPECT_CALL(library, TpOpen(1, 5, 0, 3, 0, 0, 0, 1, 0)).WillOnce(Return(77));
        EXPECT_CALL(library, TpUpgradeFirmware(77, StrEq("/images/Neue Firmware \xC3\xBC.bin"), 1))
            .WillOnce(Return(GetParam().result));
        EXPECT_CALL(library, TpClose(77)).WillOnce(Return(0));
    }
    UpgradeFileModeTerminal();
    EXPECT_EQ(prompter.messages, QStringList{QString::fromUtf8(GetParam().expected)});
}

INSTANTIATE_TEST_SUITE_P(
    Results, FirmwareFileModeResultTest,
    ::testing::Values(
        FileModeResultCase{0, "Upgrade complete!\r\nPress any terminal key to restart Terminal!"},
        FileModeResultCase{2649, "Invalid F/W file!"},
        FileModeResultCase{2657, "Terminal is not in upgrade mode!"},
        FileModeResultCase{1, "Unknow error code:1"}));

// A Project Mode run over terminals COM1..COMn, each answering with its outcome: kOffline, or
// the result of its upgrade.
struct RunCase {
    const char* name;
    std::vector<int> outcomes;
    std::vector<bool> checked;
    QStringList expected;
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareProjectModeRunTest : public ::testing::TestWithParam<RunCase> {
protected:
    CTarvikDoc doc;
    ScriptedPrompter prompter;
    StrictMock<MockTerminalLibrary> library;
};

TEST_P(FirmwareProjectModeRunTest, ReportsEachTerminalThenTheRun) {
    const RunCase& c = GetParam();
    for (size_t k = 0; k < c.outcomes.size(); ++k) {
        const int number = static_cast<int>(k) + 1;
        doc.terminals.push_back(
            Record("COM" + std::to_string(number), "TQ-3100", "1000000" + std::to_string(number)));
        const bool offline = c.outcomes[k] == kOffline;
        const uint32_t handle = 100 + number;
        // Only checked terminals may be contacted, each link closed once.
        EXPECT_CALL(library, TpOpen(1, number, 0, 6, 0, 0, 0, 1, 0))
            .Times(c.checked[k] ? 1 : 0)
            .WillRepeatedly(Return(offline ? 0u : handle));
        if (!offline && c.checked[k]) {
            EXPECT_CALL(library, TpUpgradeFirmware(handle, StrEq("/fw/A.bin"), 1))
                .WillOnce(Return(c.outcomes[k]));
            EXPECT_CALL(library, TpClose(handle)).WillOnce(Return(0));
        }
    }

    UpgradeCheckedTerminals(doc.terminals, c.checked, "/fw/A.bin");
    EXPECT_EQ(prompter.messages, c.expected);
    for (const QString& caption : prompter.captions) EXPECT_EQ(caption, "Tarvik");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FirmwareProjectModeRunTest,
    ::testing::Values(
        RunCase{"OneUpgraded", {0}, {true}, {kComplete}},
        RunCase{"OfflineThenUpgraded",
                {kOffline, 0},
                {true, true},
                {"TQ-3100-10000001 is Off-line!", kComplete}},
        RunCase{"FailureThenSuccess",
                {2648, 0},
                {true, true},
                {"F/W Upgrade transmission fail!", kComplete}},
        RunCase{
            "EveryOneFailed",
            {kOffline, 2654, -3},
            {true, true, true},
            {"TQ-3100-10000001 is Off-line!", "CUSTOMER version error!", "Unknow error code:-3"}},
        RunCase{"UncheckedAreSkipped", {kOffline, 0, 2649}, {false, true, false}, {kComplete}},
        RunCase{"NoneChecked", {0, 0}, {false, false}, {"Select terminal to upgrade!"}},
        RunCase{"EmptyList", {}, {}, {"Select terminal to upgrade!"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirmwareProjectModeTest, EmptyPathContactsNoTerminal) {
    CTarvikDoc doc;
    ScriptedPrompter prompter;
    StrictMock<MockTerminalLibrary> library;
    doc.terminals.push_back(Record("COM3", "TQ-3100", "10000042"));
    UpgradeCheckedTerminals(doc.terminals, {true}, "");
    EXPECT_EQ(prompter.messages, QStringList{"Selecte F/W file to upgrade!"});
}

TEST(FirmwareProjectModeTest, ClosesEachLinkBeforeOpeningTheNext) {
    CTarvikDoc doc;
    ScriptedPrompter prompter;
    StrictMock<MockTerminalLibrary> library;
    library.ListUsbNames({"TQ-0001", "TQ-0002"});
    EXPECT_CALL(library, TpUsbCount()).Times(::testing::AnyNumber());
    EXPECT_CALL(library, TpUsbNameLength()).Times(::testing::AnyNumber());
    EXPECT_CALL(library, TpUsbName(_, _, _)).Times(::testing::AnyNumber());
    doc.terminals.push_back(Record("TQ-0002", "TQ-3100", "2"));
    doc.terminals.push_back(Record("COM9", "TQ-3100", "9"));
    {
        InSequence order;
        EXPECT_CALL(library, TpOpen(2, 2, 0, 6, 0, 0, 0, 1, 0)).WillOnce(Return(5));
        EXPECT_CALL(library, TpUpgradeFirmware(5, StrEq("/fw/B.bin"), 1)).WillOnce(Return(0));
        EXPECT_CALL(library, TpClose(5)).WillOnce(Return(0));
        EXPECT_CALL(library, TpOpen(1, 9, 0, 6, 0, 0, 0, 1, 0)).WillOnce(Return(6));
        EXPECT_CALL(library, TpUpgradeFirmware(6, StrEq("/fw/B.bin"), 1)).WillOnce(Return(0));
        EXPECT_CALL(library, TpClose(6)).WillOnce(Return(0));
    }
    UpgradeCheckedTerminals(doc.terminals, {true, true}, "/fw/B.bin");
    EXPECT_EQ(prompter.messages, QStringList{kComplete});
}
