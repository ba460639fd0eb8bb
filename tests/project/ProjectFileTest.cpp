#include "project/ProjectFile.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// ---- Requirement lines ----

struct RequirementsCase {
    const char* name;
    std::string file;
    ProjectError error;
    bool stated;
    int32_t readerKind;  // after reading, from a start of 999999 and "A00-0.50"
    std::string neededVersion;
};

void PrintTo(const RequirementsCase& value, std::ostream* out) {
    *out << value.name;
}

class RequirementsTest : public ::testing::TestWithParam<RequirementsCase> {};

TEST_P(RequirementsTest, Reads) {
    ProjectRequirements requirements{kReaderUnknown, "A00-0.50"};
    const RequirementsResult result =
        ParseProjectRequirements(Bytes(GetParam().file), requirements);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(result.stated, GetParam().stated);
    EXPECT_EQ(requirements.readerKind, GetParam().readerKind);
    EXPECT_EQ(requirements.neededVersion, GetParam().neededVersion);
}

const std::string kEntry = "[Info]D:\\SHOP\\A.DAT,2\r\nxy";
const std::string k99(99, 'V');

INSTANTIATE_TEST_SUITE_P(
    Lines, RequirementsTest,
    ::testing::Values(
        RequirementsCase{"NoVerDefaults", kEntry, ProjectError::None, false, 1, "A00-1.02"},
        RequirementsCase{"NoVerIgnoresOtherTags", "[Reader]3\r\n[FW Sup.]A00-9.99\r\n" + kEntry,
                         ProjectError::None, false, 1, "A00-1.02"},
        RequirementsCase{"All", "[Ver.]1\r\n[Reader]2\r\n[FW Sup.]A00-1.10\r\n" + kEntry,
                         ProjectError::None, true, 2, "A00-1.10"},
        RequirementsCase{"AnyOrder", "[FW Sup.]B01-2.0\r\n[Reader]0\r\n[Ver.]7\r\n" + kEntry,
                         ProjectError::None, true, 0, "B01-2.0"},
        // Absent tags leave the caller's values, as a drop carries them from project to project.
        RequirementsCase{"VerOnlyKeepsCallerValues", "[Ver.]1\r\n" + kEntry, ProjectError::None,
                         true, kReaderUnknown, "A00-0.50"},
        RequirementsCase{"EmptyVersion", "[Ver.]1\r\n[FW Sup.]\r\n" + kEntry, ProjectError::None,
                         true, kReaderUnknown, ""},
        RequirementsCase{"ReaderAfterBlanks", "[Ver.]1\r\n[Reader] 3\r\n", ProjectError::None, true,
                         3, "A00-0.50"},
        RequirementsCase{"OtherReaderKind", "[Ver.]1\r\n[Reader]-4\r\n", ProjectError::None, true,
                         -4, "A00-0.50"},
        RequirementsCase{"NoEntries", "[Ver.]1\r\n[FW Sup.]A00-1.20\r\n", ProjectError::None, true,
                         kReaderUnknown, "A00-1.20"},
        RequirementsCase{"Version99", "[Ver.]1\r\n[FW Sup.]" + k99 + "\r\n" + kEntry,
                         ProjectError::None, true, kReaderUnknown, k99},
        RequirementsCase{"Version100", "[Ver.]1\r\n[Reader]2\r\n[FW Sup.]" + k99 + "W\r\n" + kEntry,
                         ProjectError::VersionTooLong, true, kReaderUnknown, "A00-0.50"},
        RequirementsCase{"VersionWithoutLineEnd", "[Ver.]1\r\n[FW Sup.]A00-1.10",
                         ProjectError::UnterminatedVersion, true, kReaderUnknown, "A00-0.50"},
        // Its line end must come before the entries; the members' bytes are not its text.
        RequirementsCase{"VersionRunsIntoEntries", "[Ver.]1\r\n[FW Sup.]A00-1.10" + kEntry,
                         ProjectError::UnterminatedVersion, true, kReaderUnknown, "A00-0.50"},
        RequirementsCase{"ReaderWithoutNumber", "[Ver.]1\r\n[Reader]x\r\n[FW Sup.]A\r\n",
                         ProjectError::ReaderWithoutNumber, true, kReaderUnknown, "A00-0.50"},
        RequirementsCase{"ReaderOverflow", "[Ver.]1\r\n[Reader]4294967297\r\n",
                         ProjectError::ReaderWithoutNumber, true, kReaderUnknown, "A00-0.50"},
        // Tags among the members' bytes are data, not requirements.
        RequirementsCase{"TagsInMemberData",
                         "[Info]D:\\SHOP\\A.DAT,30\r\n[Ver.]1\r\n[Reader]0\r\n[FW Sup.]Z\r\n",
                         ProjectError::None, false, 1, "A00-1.02"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Entries ----

TEST(ProjectEntries, SizesTenAndTwentyOccupyDataBytesZeroToTwentyNine) {
    const std::string header =
        "[Ver.]1\r\n[Reader]1\r\n[Info]D:\\SHOP\\TEN.DAT,10\r\n[Info]C:\\SHOP\\TWENTY.DAT,20\r\n";
    const std::string data = "0123456789abcdefghijABCDEFGHIJ";
    const QByteArray file = Bytes(header + data + "tail");

    const ProjectEntries read = ReadProjectEntries(file);
    ASSERT_EQ(read.error, ProjectError::None);
    EXPECT_EQ(read.dataOffset, static_cast<qsizetype>(header.size()));
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].terminalPath, "D:\\SHOP\\TEN.DAT");
    EXPECT_EQ(read.entries[0].size, 10);
    EXPECT_EQ(read.entries[0].offset - read.dataOffset, 0);
    EXPECT_EQ(read.entries[1].terminalPath, "C:\\SHOP\\TWENTY.DAT");
    EXPECT_EQ(read.entries[1].size, 20);
    EXPECT_EQ(read.entries[1].offset - read.dataOffset, 10);
    EXPECT_EQ(MemberContent(file, read.entries[0]), QByteArray("0123456789"));
    EXPECT_EQ(MemberContent(file, read.entries[1]), QByteArray("abcdefghijABCDEFGHIJ"));
}

TEST(ProjectEntries, HeaderEndsAtTheFirstLineNotAnEntry) {
    // The second member's bytes hold an entry-like line; only consecutive lines count.
    const std::string header = "[Info]C:\\A\\X.DAT,3\r\n[Info]C:\\A\\Y.DAT,23\r\n";
    const QByteArray file = Bytes(header + "\r\n\r" + "[Info]C:\\A\\Z.DAT,1\r\n!!!");
    const HeaderLocation location = LocateProjectHeader(file);
    EXPECT_EQ(location.error, ProjectError::None);
    EXPECT_EQ(location.firstEntry, 0);
    EXPECT_EQ(location.dataOffset, static_cast<qsizetype>(header.size()));
    EXPECT_EQ(ReadProjectEntries(file).entries.size(), 2u);
}

TEST(ProjectEntries, FileWithoutEntriesHasNoMembers) {
    const QByteArray file = "[Ver.]1\r\n[Reader]0\r\nInfo D:\\A.DAT,1\r\n";
    const ProjectEntries read = ReadProjectEntries(file);
    EXPECT_EQ(read.error, ProjectError::None);
    EXPECT_TRUE(read.entries.empty());
    EXPECT_EQ(LocateProjectHeader(file).firstEntry, -1);
}

struct KindCase {
    const char* text;
    MemberKind kind;
};

class MemberKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(MemberKindTest, IsCaseSensitive) {
    EXPECT_EQ(MemberKindOf(GetParam().text), GetParam().kind) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Paths, MemberKindTest,
                         ::testing::Values(KindCase{"D:\\PROGRAM\\MAIN.bas", MemberKind::Program},
                                           KindCase{"D:\\PROGRAM\\MAIN.BAS", MemberKind::DataFile},
                                           KindCase{"D:\\SHOP\\SMALL.cft", MemberKind::Font},
                                           KindCase{"D:\\SHOP\\SMALL.CFT", MemberKind::DataFile},
                                           KindCase{"MAIN.bas", MemberKind::Program},
                                           KindCase{".bas", MemberKind::DataFile},
                                           KindCase{"X.cft.bas", MemberKind::Program},
                                           KindCase{"C:\\A.DAT", MemberKind::DataFile}));

TEST(MemberKind, DisplayNameIsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(DisplayName("D:\\SHOP\\MAIN.bas"), "MAIN.bas");
    EXPECT_EQ(DisplayName("NOSLASH"), "NOSLASH");
    EXPECT_EQ(DisplayName("C:\\A\\"), "");
}

struct MalformedCase {
    const char* name;
    std::string file;
    ProjectError error;
    int errorEntry;
    // When set, `file` is only the first bytes of a file this long, as a reader takes them.
    qint64 fileSize = -1;
};

void PrintTo(const MalformedCase& value, std::ostream* out) {
    *out << value.name;
}

class MalformedEntriesTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedEntriesTest, ReportsTheFirstFaultAndNoEntry) {
    // Exactly the file's bytes, so a read past them is a read of memory that is not the file's.
    const std::string& text = GetParam().file;
    const QByteArrayView head(text.data(), static_cast<qsizetype>(text.size()));
    const qint64 size = GetParam().fileSize < 0 ? head.size() : GetParam().fileSize;
    const ProjectEntries read =
        GetParam().fileSize < 0 ? ReadProjectEntries(head) : ReadProjectEntries(head, size);
    EXPECT_EQ(read.error, GetParam().error);
    EXPECT_EQ(read.errorEntry, GetParam().errorEntry);
    EXPECT_TRUE(read.entries.empty());
    const ProjectCheck check = ValidateProject(Bytes(text), size);
    EXPECT_EQ(check.error, GetParam().error);
    EXPECT_EQ(check.entry, GetParam().errorEntry);
}

const std::string kGood = "[Info]C:\\A\\GOOD.DAT,2\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedEntriesTest,
    ::testing::Values(
        MalformedCase{"NoComma", kGood + "[Info]C:\\A\\B.DAT 5\r\nxyz",
                      ProjectError::EntryWithoutComma, 1},
        // The "," of the next line is not this line's.
        MalformedCase{"CommaOnNextLine", "[Info]C:\\A\\B.DAT\r\n[Info]C:\\A\\C.DAT,1\r\nx",
                      ProjectError::EntryWithoutComma, 0},
        MalformedCase{"NoSize", "[Info]C:\\A\\B.DAT,\r\nx", ProjectError::EntryWithoutSize, 0},
        MalformedCase{"SizeNotDecimal", kGood + "[Info]C:\\A\\B.DAT,x5\r\nxyz",
                      ProjectError::EntryWithoutSize, 1},
        MalformedCase{"NegativeSize", kGood + "[Info]C:\\A\\B.DAT,-1\r\nxyz",
                      ProjectError::NegativeSize, 1},
        MalformedCase{"SizeOnePastEnd", kGood + "[Info]C:\\A\\B.DAT,2\r\nxyz",
                      ProjectError::MemberPastEnd, 1},
        MalformedCase{"SizeBeyondAnyFile", "[Info]C:\\A\\B.DAT,99999999999999999999999999\r\nx",
                      ProjectError::MemberPastEnd, 0},
        MalformedCase{"LastLineWithoutLineEnd", kGood + "[Info]C:\\A\\B.DAT,0",
                      ProjectError::UnterminatedEntry, 1},
        MalformedCase{"OnlyLineWithoutLineEnd", "[Ver.]1\r\n[Info]C:\\A\\B.DAT,1\r",
                      ProjectError::UnterminatedEntry, 0},
        MalformedCase{"TagAtTheEnd", "[Ver.]1\r\n[Info]", ProjectError::UnterminatedEntry, 0},
        // An earlier fault is the one reported, though the last line is unterminated too.
        MalformedCase{"FirstFaultWins", "[Info]C:\\A\\B.DAT,-3\r\n[Info]C:\\A\\C.DAT,1",
                      ProjectError::NegativeSize, 0},
        // The first bytes of a longer file: where they do not tell the header's end, it runs
        // past them.
        MalformedCase{"HeadCutInALine", kGood + "[Info]C:\\A\\B.D", ProjectError::HeaderTooLong,
                      -1, 1 << 30},
        MalformedCase{"HeadCutAfterALineEnd", kGood, ProjectError::HeaderTooLong, -1, 1 << 30},
        MalformedCase{"HeadCutInATag", kGood + "[Inf", ProjectError::HeaderTooLong, -1, 1 << 30},
        MalformedCase{"HeadWithoutEntries", "[Ver.]1\r\n[FW Sup.]A00-1.", ProjectError::HeaderTooLong,
                      -1, 1 << 30},
        MalformedCase{"HeadMemberPastTheFile", "[Info]C:\\A\\B.DAT,100\r\nxy",
                      ProjectError::MemberPastEnd, 0, 22 + 99}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectEntries, MembersMayFillTheFileExactlyOrLeaveBytesOver) {
    EXPECT_EQ(ReadProjectEntries(Bytes(kGood + "xy")).error, ProjectError::None);
    EXPECT_EQ(ReadProjectEntries(Bytes(kGood + "xyz")).error, ProjectError::None);
    EXPECT_EQ(ReadProjectEntries(Bytes("[Info]C:\\A\\E.DAT,0\r\n")).entries.size(), 1u);
    // From the first bytes alone: the members fit the file, though not the bytes at hand.
    const ProjectEntries head = ReadProjectEntries(Bytes(kGood + "[Info]C:\\A\\B.DAT,9\r\nx"),
                                                   static_cast<qint64>(kGood.size()) + 20 + 11);
    EXPECT_EQ(head.error, ProjectError::None);
    ASSERT_EQ(head.entries.size(), 2u);
    EXPECT_EQ(head.entries[1].offset, static_cast<qint64>(kGood.size()) + 20 + 2);
}

TEST(ProjectEntries, InformationFileIsHeaderAlone) {
    const QByteArray info = "[Ver.]1\r\n[Info]D:\\SHOP\\A.DAT,1200\r\n[Info]C:\\SHOP\\B.DAT,30\r\n";
    EXPECT_EQ(ReadProjectEntries(info).error, ProjectError::MemberPastEnd);
    const ProjectEntries read = ReadProjectEntries(info, EntrySource::InformationFile);
    ASSERT_EQ(read.error, ProjectError::None);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[1].size, 30);
    EXPECT_EQ(read.dataOffset, info.size());
    EXPECT_FALSE(MemberContent(info, read.entries[0]).has_value());
}

TEST(ProjectEntries, MemberContentRefusesEntriesOutsideTheFile) {
    const QByteArray file = "0123456789";
    EXPECT_EQ(MemberContent(file, {"C:\\A.DAT", 4, MemberKind::DataFile, 6}), QByteArray("6789"));
    EXPECT_FALSE(MemberContent(file, {"C:\\A.DAT", 5, MemberKind::DataFile, 6}).has_value());
    EXPECT_FALSE(MemberContent(file, {"C:\\A.DAT", 1, MemberKind::DataFile, 11}).has_value());
    EXPECT_FALSE(MemberContent(file, {"C:\\A.DAT", -1, MemberKind::DataFile, 2}).has_value());
    EXPECT_FALSE(MemberContent(file, {"C:\\A.DAT", 1, MemberKind::DataFile, -1}).has_value());
}

// ---- Whole project ----

struct ValidateCase {
    const char* name;
    std::string file;
    ProjectError error;
    int entry;
    std::string path;
};

void PrintTo(const ValidateCase& value, std::ostream* out) {
    *out << value.name;
}

class ValidateProjectTest : public ::testing::TestWithParam<ValidateCase> {};

TEST_P(ValidateProjectTest, FindsTheFirstFault) {
    const ProjectCheck check = ValidateProject(Bytes(GetParam().file));
    EXPECT_EQ(check.error, GetParam().error);
    EXPECT_EQ(check.entry, GetParam().entry);
    EXPECT_EQ(check.terminalPath, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Projects, ValidateProjectTest,
    ::testing::Values(
        ValidateCase{"Sound", "[Ver.]1\r\n[FW Sup.]A00-1.10\r\n" + kGood + "xy", ProjectError::None,
                     -1, ""},
        ValidateCase{"ParentFolder", kGood + "[Info]D:\\..\\X.DAT,1\r\nxyz",
                     ProjectError::InvalidMemberPath, 1, "D:\\..\\X.DAT"},
        ValidateCase{"ThirdFolderLevel", "[Info]E:\\A\\B\\C\\X.DAT,1\r\n" + kGood + "xyz",
                     ProjectError::InvalidMemberPath, 0, "E:\\A\\B\\C\\X.DAT"},
        ValidateCase{"EmptyName", kGood + "[Info]C:\\A\\,0\r\nxy", ProjectError::InvalidMemberPath,
                     1, "C:\\A\\"},
        ValidateCase{"NotShort", kGood + "[Info]C:\\A\\TOOLONGNAME.DAT,0\r\nxy",
                     ProjectError::InvalidMemberPath, 1, "C:\\A\\TOOLONGNAME.DAT"},
        ValidateCase{"OtherDrive", kGood + "[Info]F:\\A.DAT,0\r\nxy",
                     ProjectError::InvalidMemberPath, 1, "F:\\A.DAT"},
        // A broken size is found before any path is judged.
        ValidateCase{"StructureFirst", "[Info]F:\\A.DAT,0\r\n[Info]C:\\B.DAT,9\r\nxy",
                     ProjectError::MemberPastEnd, 1, ""},
        ValidateCase{"Requirements",
                     "[Ver.]1\r\n[FW Sup.]" + std::string(100, '1') + "\r\n" + kGood + "xy",
                     ProjectError::VersionTooLong, -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ValidateProject, TextNamesTheEntryAndWhyItsPathIsRefused) {
    const std::string text =
        ProjectCheckText(ValidateProject(Bytes(kGood + "[Info]D:\\..\\X.DAT,1\r\nxyz")));
    EXPECT_NE(text.find("entry 2"), std::string::npos) << text;
    EXPECT_NE(text.find("D:\\..\\X.DAT"), std::string::npos) << text;
    EXPECT_NE(text.find("\"..\""), std::string::npos) << text;
    EXPECT_EQ(ProjectCheckText({ProjectError::VersionTooLong, -1, {}}),
              ProjectErrorText(ProjectError::VersionTooLong));
}

// ---- Program scrambling ----

TEST(UnscrambleProgram, TakesTheKeyOffByPositionModuloTen) {
    // Twelve zero bytes stored: the key, then its first two values again.
    QByteArray stored;
    for (int i = 0; i < 12; ++i) stored += static_cast<char>(ProgramKey[i % 10]);
    UnscrambleProgram(stored);
    EXPECT_EQ(stored, QByteArray(12, '\0'));

    // 0xFF + 27 wraps to 26; 5 - 82 wraps to 179.
    QByteArray wrap("\x1a\x05", 2);
    UnscrambleProgram(wrap.data(), wrap.size());
    EXPECT_EQ(static_cast<uint8_t>(wrap[0]), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(wrap[1]), 179);
}

// ---- Firmware and reader rules ----

struct FirmwareCase {
    std::string needed;
    std::string firmware;
    bool tooOld;
};

void PrintTo(const FirmwareCase& value, std::ostream* out) {
    *out << '"' << value.needed << "\" on \"" << value.firmware << '"';
}

class FirmwareRuleTest : public ::testing::TestWithParam<FirmwareCase> {};

TEST_P(FirmwareRuleTest, ComparesTextAfterTheDash) {
    EXPECT_EQ(FirmwareTooOld(GetParam().needed, GetParam().firmware), GetParam().tooOld);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FirmwareRuleTest,
    ::testing::Values(
        FirmwareCase{"A00-1.02", "A00-1.10", false},
        // '9' sorts after '1': a byte-wise comparison, not a numeric one.
        FirmwareCase{"A00-1.9", "A00-1.10", true}, FirmwareCase{"A00-1.10", "A00-1.10", false},
        FirmwareCase{"A00-1.20", "A00-1.10", true}, FirmwareCase{"A00-1.02", "A00-0.90", true},
        // The prefixes before the "-" are never compared.
        FirmwareCase{"Z99-1.02", "A00-1.10", false}, FirmwareCase{"A00-1.10", "Z99-1.02", true},
        // Only the first "-" splits.
        FirmwareCase{"A00-1.10-b", "A00-1.10", true},
        // Without a "-" the whole text counts.
        FirmwareCase{"1.20", "A00-1.10", true}, FirmwareCase{"A00-1.02", "1.10", false},
        FirmwareCase{"", "A00-0.01", false}, FirmwareCase{"", "", false},
        FirmwareCase{"A00-1.0", "", true},
        // Bytes above 127 sort after ASCII.
        FirmwareCase{"A-\xC0", "A-1", true}, FirmwareCase{"A-1", "A-\xC0", false}));

struct ReaderCase {
    int32_t kind;
    const char* text;
    const char* model;  // null: none required
    bool meetsTq3100;
};

class ReaderKindTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderKindTest, TextModelAndRule) {
    const ReaderCase& c = GetParam();
    EXPECT_STREQ(ReaderKindText(c.kind), c.text);
    if (c.model == nullptr) {
        EXPECT_EQ(RequiredModel(c.kind), nullptr);
    } else {
        EXPECT_STREQ(RequiredModel(c.kind), c.model);
        EXPECT_TRUE(ModelMeetsReaderKind(c.kind, std::string(c.model) + "-0001"));
        EXPECT_FALSE(ModelMeetsReaderKind(c.kind, "TQ-2200"));
    }
    EXPECT_EQ(ModelMeetsReaderKind(c.kind, "TQ-3100"), c.meetsTq3100);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReaderKindTest,
                         ::testing::Values(ReaderCase{0, "All Device", nullptr, true},
                                           ReaderCase{1, "CCD 1D", "TQ-3100", true},
                                           ReaderCase{2, "Camera 2D", "TQ-3300", false},
                                           ReaderCase{3, "CCD 1D + RF", "TQ-3200", false},
                                           ReaderCase{999999, "Unknow", nullptr, false},
                                           ReaderCase{4, "Unknow", nullptr, true},
                                           ReaderCase{-1, "Unknow", nullptr, true}));

}  // namespace
