#include "link/DirectoryListing.h"

#include "link/PortParsing.h"
#include "link/TerminalLink.h"
#include "support/MockTerminalLibrary.h"
#include "support/TempBench.h"

#include <cstring>
#include <gtest/gtest.h>

using ::testing::_;
using ::testing::NiceMock;
using ::testing::StrEq;

namespace {

std::array<uint8_t, kEntrySize> Record(const char* name, const char* extension, uint8_t kind,
                                       const char* stamp, uint32_t size) {
    std::array<uint8_t, kEntrySize> record{};
    std::memcpy(record.data(), name, std::min<size_t>(std::strlen(name), 8));
    std::memcpy(record.data() + 8, extension, std::min<size_t>(std::strlen(extension), 3));
    record[11] = kind;
    std::memcpy(record.data() + 12, stamp, 14);  // YYYYMMDDhhmmss
    for (int i = 0; i < 4; ++i) record[26 + i] = static_cast<uint8_t>(size >> (8 * i));
    return record;
}

TEST(DecodeEntryTest, ReadsEveryField) {
    const auto record = Record("MAIN", "BAS", 2, "20261208093005", 70000);
    const DirectoryEntry entry = DecodeEntry(record.data());
    EXPECT_EQ(entry.name, "MAIN");
    EXPECT_EQ(entry.extension, "BAS");
    EXPECT_TRUE(entry.IsFile());
    EXPECT_EQ(entry.DisplayName(), "MAIN.BAS");
    EXPECT_EQ(entry.date, "2026/12/08 09:30:05");
    EXPECT_EQ(entry.size, 70000u);
}

TEST(DecodeEntryTest, FullWidthNamesStayWholeAndAnEmptyExtensionEndsInAPoint) {
    const DirectoryEntry eight = DecodeEntry(Record("ABCDEFGH", "TXT", 2, "20260101000000", 1).data());
    EXPECT_EQ(eight.name, "ABCDEFGH");  // no NUL between name and extension
    EXPECT_EQ(eight.extension, "TXT");
    const DirectoryEntry readme = DecodeEntry(Record("README", "", 2, "20260101000000", 0).data());
    EXPECT_EQ(readme.DisplayName(), "README.");
    const DirectoryEntry folder = DecodeEntry(Record("DATA", "", 1, "20260101000000", 0).data());
    EXPECT_TRUE(folder.IsFolder());
}

struct CountCase {
    int32_t reported;
    size_t read;
};

void PrintTo(const CountCase& value, std::ostream* out) { *out << value.reported; }

class ListFolderCountTest : public ::testing::TestWithParam<CountCase> {};

// A module is not trusted with the count: the buffer holds 225 records and no more.
TEST_P(ListFolderCountTest, ReadsNoMoreThanTheBufferHolds) {
    NiceMock<MockTerminalLibrary> library;
    EXPECT_CALL(library, TpListDir(7u, StrEq("C:\\DATA"), _, _, _))
        .WillOnce([](uint32_t, const char*, int32_t* count, uint8_t* buffer, int32_t* size) {
            EXPECT_EQ(*size, 7200);
            for (int i = 0; i < kListingEntries; ++i) {
                const auto record = Record("F", "TXT", 2, "20260101000000", i);
                std::memcpy(buffer + i * kEntrySize, record.data(), kEntrySize);
            }
            *count = GetParam().reported;
            return 0;
        });
    ON_CALL(library, TpOpen).WillByDefault(::testing::Return(7u));
    TerminalLink link(library, ConnectionSettings{"COM1", 6, "", ""});
    std::vector<DirectoryEntry> entries;
    EXPECT_EQ(link.ListFolder("C:\\DATA", entries), 0);
    EXPECT_EQ(entries.size(), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Counts, ListFolderCountTest,
                         ::testing::Values(CountCase{0, 0}, CountCase{3, 3}, CountCase{225, 225},
                                           CountCase{300, 225}, CountCase{INT32_MAX, 225},
                                           CountCase{-5, 0}));

TEST(ListFolderTest, AFailedListingGivesItsCodeAndNoEntries) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, TpListDir).WillByDefault(::testing::Return(kInvalidDisk));
    ON_CALL(library, TpOpen).WillByDefault(::testing::Return(1u));
    TerminalLink link(library, ConnectionSettings{"COM1", 6, "", ""});
    std::vector<DirectoryEntry> entries(3);
    EXPECT_EQ(link.ListFolder("E:\\", entries), kInvalidDisk);
    EXPECT_TRUE(entries.empty());
}

TEST(ListFolderTest, ListsAnEmulatedTerminalFolder) {
    TempBench bench;
    bench.Add({.folder = "t", .port = "COM3"});
    bench.WriteFile("t", "C/DATA/STOCK.DAT", "12345");
    bench.WriteFile("t", "C/DATA/README", "x");
    bench.WriteFile("t", "C/DATA/SUB/A.TXT", "");
    TerminalLink link(bench.Library(), ConnectionSettings{"COM3", 6, "", ""});
    ASSERT_TRUE(link);
    std::vector<DirectoryEntry> entries;
    ASSERT_EQ(link.ListFolder("C:\\DATA", entries), 0);
    ASSERT_EQ(entries.size(), 3u);
    std::vector<std::string> shown;
    for (const DirectoryEntry& entry : entries) {
        shown.push_back(entry.IsFolder() ? entry.name : entry.DisplayName());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"README.", "STOCK.DAT", "SUB"}));
    EXPECT_EQ(entries[1].size, 5u);
}

}  // namespace

// Bytes from a listing go back to the terminal as they came, whatever their value; upper
// case touches ASCII letters only, so the path still names the same entry.
TEST(TerminalNameCodecTest, EveryByteRoundTripsAndUpperCaseKeepsTheHighOnes) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(TerminalBytes(TerminalText(all)), all);
    EXPECT_EQ(UpperTerminalBytes(TerminalText("c:\\caf\xe9.txt")), "C:\\CAF\xe9.TXT");
}
