#include "project/ProjectPack.h"

#include "project/ProjectFile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <ostream>
#include <string>
#include <vector>

namespace {

QByteArray AllByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i % 256);
    return bytes;
}

const std::vector<PackMember> kMembers = {
    {"D:\\PROGRAM\\STOCK.bas", "10 PRINT \"SCAN\"\r\n20 GOTO 10\r\n"},
    {"D:\\STOCK\\SMALL.cft", AllByteValues()},
    {"C:\\STOCK\\ITEMS.DAT", "[Info]C:\\X.DAT,1\r\n[Ver.]1\r\n"},
    {"E:\\STOCK\\EMPTY.DAT", ""},
    {"D:\\STOCK\\PRICES.BAS", "upper-case .BAS is data"},
};

// ---- Round trip ----

struct RoundTripCase {
    const char* name;
    PackRequirements requirements;
    bool stated;
    int32_t readerKind;
    std::string neededVersion;
};

void PrintTo(const RoundTripCase& value, std::ostream* out) {
    *out << value.name;
}

class PackRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PackRoundTripTest, ReaderGetsBackEveryMemberAndRequirement) {
    const PackedProject packed = BuildProjectFile(GetParam().requirements, kMembers);
    ASSERT_EQ(packed.error, "");
    EXPECT_EQ(ValidateProject(packed.file).error, ProjectError::None);

    ProjectRequirements requirements;
    const RequirementsResult result = ParseProjectRequirements(packed.file, requirements);
    EXPECT_EQ(result.error, ProjectError::None);
    EXPECT_EQ(result.stated, GetParam().stated);
    EXPECT_EQ(requirements.readerKind, GetParam().readerKind);
    EXPECT_EQ(requirements.neededVersion, GetParam().neededVersion);

    const ProjectEntries read = ReadProjectEntries(packed.file);
    ASSERT_EQ(read.error, ProjectError::None);
    ASSERT_EQ(read.entries.size(), kMembers.size());
    for (size_t i = 0; i < kMembers.size(); ++i) {
        SCOPED_TRACE(kMembers[i].terminalPath);
        EXPECT_EQ(read.entries[i].terminalPath, kMembers[i].terminalPath);
        EXPECT_EQ(MemberContent(packed.file, read.entries[i]), kMembers[i].content);
    }
    EXPECT_EQ(read.entries.back().offset + read.entries.back().size, packed.file.size());
    // The program is stored scrambled, the others as they are.
    EXPECT_NE(packed.file.mid(read.entries[0].offset, read.entries[0].size), kMembers[0].content);
    EXPECT_EQ(packed.file.mid(read.entries[4].offset, read.entries[4].size), kMembers[4].content);
}

INSTANTIATE_TEST_SUITE_P(
    Requirements, PackRoundTripTest,
    ::testing::Values(
        RoundTripCase{"None", {}, false, 1, "A00-1.02"},
        RoundTripCase{"ReaderOnly", {0, std::nullopt}, true, 0, ""},
        RoundTripCase{"FirmwareOnly", {std::nullopt, "A00-1.20"}, true, kReaderUnknown, "A00-1.20"},
        RoundTripCase{"Both", {2, "B01-0.90"}, true, 2, "B01-0.90"},
        RoundTripCase{"LongestVersion", {3, std::string(99, '9')}, true, 3, std::string(99, '9')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackProjectFile, WritesTheLinesInTheirPlaces) {
    const PackedProject packed =
        BuildProjectFile({1, "A00-1.10"}, {{"D:\\P\\A.DAT", "xy"}, {"C:\\P\\B.DAT", "z"}});
    EXPECT_EQ(packed.file,
              "[Ver.]1\r\n[Reader]1\r\n[FW Sup.]A00-1.10\r\n"
              "[Info]D:\\P\\A.DAT,2\r\n[Info]C:\\P\\B.DAT,1\r\nxyz");
}

// ---- Refusals ----

struct RefusalCase {
    const char* name;
    PackRequirements requirements;
    std::vector<PackMember> members;
    std::string mentions;  // a part of the error text
};

void PrintTo(const RefusalCase& value, std::ostream* out) {
    *out << value.name;
}

class PackRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(PackRefusalTest, MakesNoFile) {
    const PackedProject packed = BuildProjectFile(GetParam().requirements, GetParam().members);
    EXPECT_TRUE(packed.file.isEmpty());
    EXPECT_NE(packed.error.find(GetParam().mentions), std::string::npos) << packed.error;
}

const PackMember kData{"C:\\P\\A.DAT", "data"};

INSTANTIATE_TEST_SUITE_P(
    Members, PackRefusalTest,
    ::testing::Values(
        RefusalCase{"NoMember", {}, {}, "at least one member"},
        RefusalCase{"ParentFolder", {}, {kData, {"D:\\..\\X.DAT", "x"}}, "D:\\..\\X.DAT: it names"},
        RefusalCase{"ThirdFolder", {}, {{"E:\\A\\B\\C\\X.DAT", "x"}}, "two folders deep"},
        RefusalCase{"OtherDrive", {}, {{"F:\\X.DAT", "x"}}, "C:\\, D:\\ or E:\\"},
        RefusalCase{"NotShort", {}, {{"C:\\P\\NINECHARS.DAT", "x"}}, "8.3"},
        RefusalCase{"SamePathAnyCase", {}, {kData, {"C:\\p\\a.dat", "y"}}, "two members"},
        RefusalCase{
            "TwoPrograms", {}, {{"D:\\P\\A.bas", "1"}, {"D:\\P\\B.bas", "2"}}, "one program"},
        // A reader would take the member for one more entry line.
        RefusalCase{
            "DataBeginsWithEntryTag", {}, {{"C:\\P\\A.DAT", "[Info]C:\\B,1\r\n"}}, "[Info]"},
        RefusalCase{"EmptyVersion", {std::nullopt, ""}, {kData}, "empty"},
        RefusalCase{"VersionOf100", {std::nullopt, std::string(100, '1')}, {kData}, "99"},
        RefusalCase{"VersionWithLineEnd", {std::nullopt, "A\r\n[Reader]0"}, {kData}, "printable"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackProjectFile, ProgramThatStartsTheDataIsCheckedAsStored) {
    // Stored, this program begins with "[Info]"; its plain bytes do not.
    QByteArray plain = "[Info]";
    UnscrambleProgram(plain);
    EXPECT_NE(BuildProjectFile({}, {{"D:\\P\\A.bas", plain}}).error, "");
    EXPECT_EQ(BuildProjectFile({}, {{"D:\\P\\A.bas", "[Info]"}}).error, "");
}

// ---- Command line ----

class PackCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Write(const QString& name, const QByteArray& content) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int Run(const QStringList& arguments) {
        out_.clear();
        err_.clear();
        QTextStream out(&out_);
        QTextStream err(&err_);
        return RunPackCommand(arguments, out, err);
    }

    QTemporaryDir dir_;
    QString out_;
    QString err_;
};

TEST_F(PackCommandTest, PacksAndListsAProject) {
    Write("main.bas", "10 PRINT 1\r\n");
    Write("small.font", QByteArray(1200, 'f'));
    Write("items.dat", "4006381333931\r\n");
    ASSERT_EQ(0, Run({Path("STOCK.prj"), "--reader", "1", "--firmware", "A00-1.10",
                      "D:\\PROGRAM\\STOCK.bas=" + Path("main.bas"),
                      "D:\\STOCK\\SMALL.cft=" + Path("small.font"),
                      "C:\\STOCK\\ITEMS.DAT=" + Path("items.dat")}))
        << err_.toStdString();

    const QByteArray file = Read("STOCK.prj");
    const ProjectEntries read = ReadProjectEntries(file);
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(MemberContent(file, read.entries[0]), "10 PRINT 1\r\n");
    EXPECT_EQ(MemberContent(file, read.entries[1]), QByteArray(1200, 'f'));

    ASSERT_EQ(0, Run({"--list", Path("STOCK.prj")})) << err_.toStdString();
    EXPECT_EQ(out_.toStdString(),
              "Reader: 1 (CCD 1D), model TQ-3100\n"
              "Firmware: A00-1.10 or newer\n"
              "Members: 3\n"
              "  program  D:\\PROGRAM\\STOCK.bas    12 bytes\n"
              "  font     D:\\STOCK\\SMALL.cft    1200 bytes\n"
              "  data     C:\\STOCK\\ITEMS.DAT      15 bytes\n");
    EXPECT_TRUE(err_.isEmpty());
}

struct ListCase {
    const char* name;
    QByteArray file;
    int exitCode;
    std::string out;
    std::string err;  // a part of the error output
};

void PrintTo(const ListCase& value, std::ostream* out) {
    *out << value.name;
}

class PackListTest : public PackCommandTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(PackListTest, PrintsRequirementsAndMembers) {
    Write("P.prj", GetParam().file);
    EXPECT_EQ(GetParam().exitCode, Run({"--list", Path("P.prj")}));
    EXPECT_EQ(out_.toStdString(), GetParam().out);
    EXPECT_NE(err_.toStdString().find(GetParam().err), std::string::npos) << err_.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, PackListTest,
    ::testing::Values(
        ListCase{"NotStated", "[Info]C:\\P\\A.DAT,1\r\nx", 0,
                 "Requirements: none stated, so a download assumes these\n"
                 "Reader: 1 (CCD 1D), model TQ-3100\nFirmware: A00-1.02 or newer\nMembers: 1\n"
                 "  data     C:\\P\\A.DAT  1 bytes\n",
                 ""},
        ListCase{"VerOnly", "[Ver.]1\r\n[Info]C:\\P\\A.DAT,0\r\n", 0,
                 "Reader: not stated, 999999 (Unknow)\nFirmware: not stated, no terminal is "
                 "checked\nMembers: 1\n  data     C:\\P\\A.DAT  0 bytes\n",
                 ""},
        ListCase{"AllDevice", "[Ver.]1\r\n[Reader]0\r\n", 0,
                 "Reader: 0 (All Device)\nFirmware: not stated, no terminal is checked\n"
                 "Members: 0\n",
                 ""},
        ListCase{"RefusedPath", "[Info]C:\\P\\A.DAT,1\r\n[Info]C:\\..\\B.DAT,1\r\nxy", 1,
                 "Requirements: none stated, so a download assumes these\n"
                 "Reader: 1 (CCD 1D), model TQ-3100\nFirmware: A00-1.02 or newer\nMembers: 2\n"
                 "  data     C:\\P\\A.DAT   1 bytes\n"
                 "  data     C:\\..\\B.DAT  1 bytes  <- refused: it names \".\" or \"..\"\n",
                 "entry 2, C:\\..\\B.DAT"},
        ListCase{"Damaged", "[Info]C:\\P\\A.DAT,5\r\nxy", 1, "",
                 "a member reaches beyond the end of the file"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
    const char* name;
    QStringList arguments;  // "@" stands for the temporary folder
    int exitCode;
    std::string err;  // a part of the error output
};

void PrintTo(const CommandCase& value, std::ostream* out) {
    *out << value.name;
}

class PackCommandLineTest : public PackCommandTest,
                            public ::testing::WithParamInterface<CommandCase> {};

TEST_P(PackCommandLineTest, RefusesAndWritesNothing) {
    Write("a.dat", "abc");
    QStringList arguments = GetParam().arguments;
    for (QString& argument : arguments) argument.replace("@", dir_.path());
    EXPECT_EQ(GetParam().exitCode, Run(arguments));
    EXPECT_NE(err_.toStdString().find(GetParam().err), std::string::npos) << err_.toStdString();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"a.dat"});
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, PackCommandLineTest,
    ::testing::Values(
        CommandCase{"Nothing", {}, 2, "Usage:"},
        CommandCase{"NoMembers", {"@/P.prj"}, 1, "at least one member"},
        CommandCase{"NoOutput", {"--reader", "1"}, 2, "no project file"},
        CommandCase{"ReaderNotNumber", {"@/P.prj", "--reader", "CCD"}, 2, "decimal number"},
        CommandCase{"FirmwareTwice", {"@/P.prj", "--firmware", "A", "--firmware", "B"}, 2, "twice"},
        CommandCase{"UnknownOption", {"@/P.prj", "--model", "TQ-3100"}, 2, "unknown option"},
        CommandCase{"MemberWithoutPcFile", {"@/P.prj", "C:\\P\\A.DAT="}, 2, "PATH=PCFILE"},
        CommandCase{"MissingPcFile", {"@/P.prj", "C:\\P\\A.DAT=@/none.dat"}, 1, "cannot read"},
        CommandCase{"BadTerminalPath", {"@/P.prj", "C:\\A\\B\\C\\D.DAT=@/a.dat"}, 1, "two folders"},
        CommandCase{"NotPrj", {"@/P.txt", "C:\\P\\A.DAT=@/a.dat"}, 1, ".prj"},
        CommandCase{"NameTooLong", {"@/LONGNAME9.prj", "C:\\P\\A.DAT=@/a.dat"}, 1, "1 to 8"},
        CommandCase{"NameWithDot", {"@/A.B.prj", "C:\\P\\A.DAT=@/a.dat"}, 1, "no dot"},
        CommandCase{"ListMissingFile", {"--list", "@/none.prj"}, 1, "cannot read"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackCommandTest, HelpTellsBothUses) {
    EXPECT_EQ(0, Run({"--help"}));
    EXPECT_TRUE(
        out_.contains("tarvik-pack OUT.prj [--reader KIND] [--firmware VERSION] PATH=PCFILE"));
    EXPECT_TRUE(out_.contains("tarvik-pack --list FILE.prj"));
    EXPECT_TRUE(err_.isEmpty());
}

TEST_F(PackCommandTest, RefusedPackLeavesAnEarlierFileAsItWas) {
    Write("P.prj", "earlier");
    Write("a.dat", "abc");
    EXPECT_EQ(1, Run({Path("P.prj"), "C:\\..\\A.DAT=" + Path("a.dat")}));
    EXPECT_EQ(Read("P.prj"), "earlier");
}

}  // namespace
