#include "firmware/FirmwareUpgrade.h"

#include "core/InstalledServices.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "support/FirmwareFixture.h"
#include "support/FirmwareImage.h"
#include "support/MockTerminalLibrary.h"
#include "support/OwnJournal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::InSequence;
using ::testing::Return;
using ::testing::StrEq;
using ::testing::StrictMock;

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

class FirmwareFileModeTest : public FirmwareTest {
protected:
    FirmwareFileModeTest() { doc.settings = {"COM5", 3, "TQ-3100", "10000042"}; }

    StrictMock<MockTerminalLibrary> library;
};

TEST_F(FirmwareFileModeTest, CancelledFileDialogContactsNoTerminal) {
    UpgradeFileModeTerminal(InstalledServices(), doc.settings);
    EXPECT_EQ(prompter.fileFilters, QStringList{"Firmware Files(*.bin) | *.bin||"});
    EXPECT_TRUE(prompter.messages.isEmpty());
}

struct FileModeResultCase {
    ResultCode result;
    QString expected;
};

void PrintTo(const FileModeResultCase& c, std::ostream* os) {
    *os << "result " << c.result;
}

class FirmwareFileModeResultTest : public FirmwareFileModeTest,
                                   public ::testing::WithParamInterface<FileModeResultCase> {};

TEST_P(FirmwareFileModeResultTest, SendsTheChosenImageAndReportsTheResult) {
    prompter.AnswerFileDialogs({"/images/Neue Firmware ü.bin"});
    {
        InSequence order;
        EXPECT_CALL(library, TpOpen(1, 5, 0, 3, 0, 0, 0, 1, 0)).WillOnce(Return(77));
        EXPECT_CALL(library, TpUpgradeFirmware(77, StrEq("/images/Neue Firmware \xC3\xBC.bin"), 1))
            .WillOnce(Return(GetParam().result));
        EXPECT_CALL(library, TpClose(77)).WillOnce(Return(0));
    }
    UpgradeFileModeTerminal(InstalledServices(), doc.settings);
    EXPECT_EQ(prompter.messages, QStringList{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(Results, FirmwareFileModeResultTest,
                         ::testing::Values(FileModeResultCase{0, kUpgradeComplete},
                                           FileModeResultCase{2649, "Invalid F/W file!"},
                                           FileModeResultCase{2657,
                                                              "Terminal is not in upgrade mode!"},
                                           FileModeResultCase{1, "Unknow error code:1"}));

// Outcomes of a terminal in a Project Mode run besides the result of its upgrade.
constexpr int kOffline = -1000;  // does not answer
constexpr int kSkipped = -2000;  // is never contacted

// A Project Mode run over terminals COM1..COMn, each with its outcome.
struct RunCase {
    const char* name;
    std::vector<int> outcomes;
    std::vector<bool> checked;
    QStringList expected;
    QString path = "/fw/A.bin";
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareProjectModeRunTest : public FirmwareTest,
                                   public ::testing::WithParamInterface<RunCase> {
protected:
    StrictMock<MockTerminalLibrary> library;
};

TEST_P(FirmwareProjectModeRunTest, ReportsEachTerminalThenTheRun) {
    const RunCase& c = GetParam();
    // Each link is opened, used and closed before the next terminal's.
    InSequence order;
    for (size_t k = 0; k < c.outcomes.size(); ++k) {
        const int number = static_cast<int>(k) + 1;
        AddTerminal("COM" + std::to_string(number), "TQ-3100", "1000000" + std::to_string(number));
        const uint32_t handle = 100 + number;
        EXPECT_CALL(library, TpOpen(1, number, 0, 6, 0, 0, 0, 1, 0))
            .Times(c.outcomes[k] == kSkipped ? 0 : 1)
            .WillRepeatedly(Return(c.outcomes[k] == kOffline ? 0u : handle));
        if (c.outcomes[k] != kSkipped && c.outcomes[k] != kOffline) {
            EXPECT_CALL(library, TpUpgradeFirmware(handle, StrEq(c.path.toStdString()), 1))
                .WillOnce(Return(c.outcomes[k]));
            EXPECT_CALL(library, TpClose(handle)).WillOnce(Return(0));
        }
    }

    const OwnJournal journal;
    UpgradeCheckedTerminals(InstalledServices(), doc.terminals, c.checked, c.path);
    EXPECT_EQ(prompter.messages, c.expected);
    EXPECT_EQ(prompter.captions, QStringList(c.expected.size(), "Tarvik"));
    // One journal line for each terminal contacted, ok only for an upgrade that went through;
    // the run's closing message belongs to none of them.
    QStringList expected;
    for (size_t k = 0; k < c.outcomes.size(); ++k) {
        if (c.outcomes[k] == kSkipped) continue;
        expected << QStringLiteral("1000000%1|COM%1|upgrade|%2|").arg(k + 1).arg(c.path) +
                        (c.outcomes[k] == 0 ? "ok|" : "failed|" + c.expected[static_cast<qsizetype>(k)]);
    }
    EXPECT_EQ(OwnJournal::Lines().join('\n').toStdString(), expected.join('\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FirmwareProjectModeRunTest,
    ::testing::Values(
        RunCase{"OneUpgraded", {0}, {true}, {kUpgradeComplete}},
        RunCase{"OfflineThenUpgraded",
                {kOffline, 0},
                {true, true},
                {"TQ-3100-10000001 is Off-line!", kUpgradeComplete}},
        RunCase{"FailureThenSuccess",
                {2648, 0},
                {true, true},
                {"F/W Upgrade transmission fail!", kUpgradeComplete}},
        RunCase{
            "EveryOneFailed",
            {kOffline, 2654, -3},
            {true, true, true},
            {"TQ-3100-10000001 is Off-line!", "CUSTOMER version error!", "Unknow error code:-3"}},
        RunCase{"UncheckedAreSkipped",
                {kSkipped, 0, kSkipped},
                {false, true, false},
                {kUpgradeComplete}},
        RunCase{"NoneChecked", {kSkipped, kSkipped}, {false, false}, {"Select terminal to upgrade!"}},
        RunCase{"EmptyList", {}, {}, {"Select terminal to upgrade!"}},
        RunCase{"EmptyPath", {kSkipped}, {true}, {"Selecte F/W file to upgrade!"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });
