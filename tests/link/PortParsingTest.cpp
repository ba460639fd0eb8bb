#include "link/PortParsing.h"

#include "link/TerminalIdentity.h"
#include "link/TerminalLink.h"
#include "support/MockTerminalLibrary.h"

#include <cstring>
#include <gtest/gtest.h>

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::StrEq;

namespace {

struct ParseCase {
    const char* portName;
    PortKind kind;
    int32_t number;
};

void PrintTo(const ParseCase& value, std::ostream* out) { *out << '"' << value.portName << '"'; }

class ParsePortTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsePortTest, GivesKindAndNumber) {
    NiceMock<MockTerminalLibrary> library;
    library.ListUsbNames({"TQ-3100-0001", "TQ5000", "tq-lower"});
    const auto address = ParsePort(library, GetParam().portName);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->kind, GetParam().kind);
    EXPECT_EQ(address->number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParsePortTest,
    ::testing::Values(ParseCase{"COM3", PortKind::Com, 3}, ParseCase{"com5", PortKind::Com, 5},
                      ParseCase{"Com12", PortKind::Com, 12},
                      // The number is read after the first three characters, whatever they are.
                      ParseCase{"COMX", PortKind::Com, 0}, ParseCase{"COM", PortKind::Com, 0},
                      ParseCase{"XCOM7", PortKind::Com, 0}, ParseCase{"COM2a", PortKind::Com, 2},
                      ParseCase{"TQ-3100-0001", PortKind::Usb, 1},
                      // "TQ" without "TQ-" is still a USB terminal.
                      ParseCase{"TQ5000", PortKind::Usb, 2},
                      ParseCase{"tq-lower", PortKind::Usb, 3},
                      ParseCase{"Bluetooth", PortKind::Other, 1},
                      ParseCase{"LPT1", PortKind::Other, 1}, ParseCase{"", PortKind::Other, 1}));

TEST(ParsePortUsb, MatchesNamesExactlyAndCaseSensitively) {
    NiceMock<MockTerminalLibrary> library;
    library.ListUsbNames({"TQ-3100-0001"});
    EXPECT_FALSE(ParsePort(library, "tq-3100-0001").has_value());
    EXPECT_FALSE(ParsePort(library, "TQ-3100-000").has_value());
    EXPECT_FALSE(ParsePort(library, "TQ-3100-00012").has_value());
}

TEST(ParsePortUsb, ClearsTheBufferBeforeEachNameAndPassesItsSize) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, TpUsbCount()).WillByDefault(Return(2u));
    ON_CALL(library, TpUsbNameLength()).WillByDefault(Return(8));
    std::vector<int32_t> sizes;
    EXPECT_CALL(library, TpUsbName(_, _, _))
        .Times(2)
        .WillRepeatedly([&](int32_t index, char* buffer, int32_t* size) {
            sizes.push_back(*size);
            for (int i = 0; i < *size; ++i) EXPECT_EQ(buffer[i], '\0');
            // A long first name; the shorter second must not keep its tail.
            std::memcpy(buffer, index == 0 ? "TQ-AAAAA" : "TQ-B", index == 0 ? 8 : 4);
            return 0;
        });
    const auto address = ParsePort(library, "TQ-B");
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->number, 2);
    EXPECT_EQ(sizes, (std::vector<int32_t>{9, 9}));
}

TEST(ParsePortUsb, ReadsNoFurtherThanTheBufferWhenTheModuleLeavesNoEnd) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, TpUsbCount()).WillByDefault(Return(1u));
    ON_CALL(library, TpUsbNameLength()).WillByDefault(Return(4));
    ON_CALL(library, TpUsbName(_, _, _)).WillByDefault([](int32_t, char* buffer, int32_t* size) {
        std::memset(buffer, 'Q', static_cast<size_t>(*size));  // no NUL at all
        return 0;
    });
    EXPECT_FALSE(ParsePort(library, "TQ-1").has_value());
    EXPECT_EQ(FindUsbTerminal(library, "QQQQQ", 1), 0);
}

TEST(TerminalLinkTest, OpensWithTheNineArgumentsInOrderAndClosesOnTheSameLibraryOnce) {
    NiceMock<MockTerminalLibrary> library;
    EXPECT_CALL(library, TpOpen(1, 7, 0, 3, 0, 0, 0, 1, 0)).WillOnce(Return(42u));
    EXPECT_CALL(library, TpClose(42u)).Times(1);
    TerminalLink link(library, ConnectionSettings{"com7", 3, "", ""});
    EXPECT_EQ(link.Handle(), 42u);
    link.Close();
    EXPECT_FALSE(link);
}

TEST(TerminalLinkTest, SendsFilesWithTheOverwriteFlagAndTheInformationFileWithTheSecondFlagClear) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, TpOpen).WillByDefault(Return(4u));
    EXPECT_CALL(library, TpPutFile(4u, StrEq("/pc/A.TXT"), StrEq("C:\\A.TXT"), 0, 1)).WillOnce(Return(0));
    EXPECT_CALL(library, TpPutFile(4u, StrEq("/pc/B.TXT"), StrEq("C:\\B.TXT"), 1, 1)).WillOnce(Return(0));
    EXPECT_CALL(library, TpPutFile(4u, StrEq("/pc/S.INF"), StrEq("D:\\S.INF"), 1, 0)).WillOnce(Return(0));
    TerminalLink link(library, ConnectionSettings{"COM1", 6, "", ""});
    EXPECT_EQ(link.PutFile("/pc/A.TXT", "C:\\A.TXT", false), 0);
    EXPECT_EQ(link.PutFile("/pc/B.TXT", "C:\\B.TXT", true), 0);
    EXPECT_EQ(link.PutFile("/pc/S.INF", "D:\\S.INF", true, true), 0);
}

TEST(TerminalLinkTest, OpensNothingForAUsbTerminalThatIsNotAttachedAndClosesNothing) {
    NiceMock<MockTerminalLibrary> library;
    library.ListUsbNames({"TQ-1"});
    EXPECT_CALL(library, TpOpen).Times(0);
    EXPECT_CALL(library, TpClose).Times(0);
    TerminalLink link(library, ConnectionSettings{"TQ-2", 6, "", ""});
    EXPECT_FALSE(link);
}

struct LabelCase {
    const char* portName;
    bool identityRead;
    const char* label;
};

void PrintTo(const LabelCase& value, std::ostream* out) {
    *out << '"' << value.portName << (value.identityRead ? "\" read" : "\" unread");
}

class TerminalLabelTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(TerminalLabelTest, FollowsTheLabelRule) {
    const TerminalIdentity identity{"TQ-3100", "A00-1.10", "10000042"};
    EXPECT_EQ(TerminalLabel(GetParam().portName, GetParam().identityRead ? &identity : nullptr),
              GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TerminalLabelTest,
    ::testing::Values(LabelCase{"COM3", true, "TQ-3100-10000042, COM3"},
                      LabelCase{"com5", true, "TQ-3100-10000042, com5"},
                      LabelCase{"TQ-3100-0001", true, "TQ-3100-0001, USB"},
                      // Only "TQ-" as written makes a USB label.
                      LabelCase{"TQ5000", true, "TQ-3100-10000042, TQ5000"},
                      LabelCase{"tq-9", true, "TQ-3100-10000042, tq-9"},
                      LabelCase{"COM3", false, "Unknow Device, COM3"},
                      LabelCase{"TQ-3100-0001", false, "Unknow Device, TQ-3100-0001"}));

TEST(ReadIdentityTest, ReadsAtMostTwentyCharactersOfEachBuffer) {
    NiceMock<MockTerminalLibrary> library;
    EXPECT_CALL(library, TpGetInfo(9u, _, _, _, _, _, _, _, _))
        .WillOnce([](uint32_t, char* model, char* firmware, char* serial, char*, char*, char*,
                     char*, char*) {
            std::memset(model, 'M', kIdentityBufferSize);  // fills the buffer, no NUL
            std::strcpy(firmware, "A00-1.10");
            std::strcpy(serial, "42");
            return 0;
        });
    ON_CALL(library, TpOpen).WillByDefault(Return(9u));
    TerminalLink link(library, ConnectionSettings{"COM1", 6, "", ""});
    TerminalIdentity identity;
    ASSERT_EQ(link.ReadIdentity(identity), 0);
    EXPECT_EQ(identity.model, std::string(kIdentityBufferSize, 'M'));
    EXPECT_EQ(identity.firmware, "A00-1.10");
    EXPECT_EQ(identity.serialNumber, "42");
}

TEST(ReadIdentityTest, LeavesTheIdentityAloneOnFailure) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, TpGetInfo).WillByDefault(Return(2681));
    ON_CALL(library, TpOpen).WillByDefault(Return(1u));
    TerminalLink link(library, ConnectionSettings{"COM1", 6, "", ""});
    TerminalIdentity identity{"old", "old", "old"};
    EXPECT_EQ(link.ReadIdentity(identity), 2681);
    EXPECT_EQ(identity.model, "old");
}

}  // namespace
