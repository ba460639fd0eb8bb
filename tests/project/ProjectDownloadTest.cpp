#include "project/ProjectDownload.h"

#include "link/ResultCodes.h"
#include "platform/LocalFileSystem.h"
#include "project/ProjectBenchFixture.h"
#include "support/ScriptedFileSystem.h"

#include <gtest/gtest.h>

namespace {

QString CodeText(ResultCode rc) { return QString::fromStdString(ResultCodeText(rc)); }

// SHOP: a program, a font and four data files, two of them named alike on C and E, and one
// whose name begins another's (A.DA, A.DAT).
enum Member { kProgram, kFont, kADa, kADatOnC, kLookup, kADatOnE };

const QByteArray kProgramText = "10 PRINT \"SHOP\"\r\n20 END\r\n";

std::vector<PackMember> ShopMembers() {
    return {{"D:\\PROGRAM\\SHOP.bas", kProgramText},
            {"D:\\SHOP\\SMALL.cft", "small font"},
            {"C:\\SHOP\\A.DA", "a.da"},
            {"C:\\SHOP\\A.DAT", "a.dat on C"},
            {"D:\\SHOP\\ITEMS.LKP", "lookup"},
            {"E:\\SHOP\\A.DAT", "a.dat on E"}};
}

const QStringList kAllShopFiles{"C/SHOP/A.DA",     "C/SHOP/A.DAT",     "D/PROGRAM/SHOP.BAS",
                                "D/SHOP.INF",      "D/SHOP/ITEMS.LKP", "D/SHOP/SMALL.CFT",
                                "E/SHOP/A.DAT"};
const std::vector<int> kAllMembers{kProgram, kFont, kADa, kADatOnC, kLookup, kADatOnE};

class DownloadTest : public ProjectBenchTest {
protected:
    QByteArray WriteShop(const PackRequirements& requirements = {1, "A00-1.02"}) {
        return WriteProject("SHOP", requirements, ShopMembers());
    }

    // What the dialog hands over when "=>" is pressed with these checks.
    DownloadRequest Request(std::vector<ConnectionSettings> terminals, std::vector<bool> checked,
                            std::vector<int> members) {
        const ListedProject project = LoadProject(MakeServices(), dataFolder, "SHOP");
        EXPECT_EQ(project.error, "");
        return {dataFolder,        "SHOP",           project.requirements, project.header,
                std::move(terminals), std::move(checked), std::move(members)};
    }
    DownloadOutcome Run(const DownloadRequest& request, PcFileSystem& files = LocalFiles()) {
        return DownloadProject(MakeServices(files), request);
    }
};

TEST_F(DownloadTest, SendsExactlyTheCheckedMembersOnceEach) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    WriteShop();
    // A.DA is not A.DAT, and A.DAT on E is not A.DAT on C; a member checked twice goes once.
    Run(Request({t1}, {true}, {kADa, kADatOnE, kADatOnE}));

    EXPECT_EQ(TerminalFiles("t1"), (QStringList{"C/SHOP/A.DA", "E/SHOP/A.DAT"}));
    EXPECT_EQ(ReadTerminal("t1", "C/SHOP/A.DA"), "a.da");
    EXPECT_EQ(ReadTerminal("t1", "E/SHOP/A.DAT"), "a.dat on E");
    EXPECT_EQ(library.Calls("TpPutFile"),
              (QStringList{"TpPutFile SHOP.tmp C:\\SHOP\\A.DA 0 1",
                           "TpPutFile SHOP.tmp E:\\SHOP\\A.DAT 0 1"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(DownloadTest, TheProgramGoesUnscrambledAndTheInformationFileRightAfterIt) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    const QByteArray file = WriteShop();
    // Files of the user's named like the run's temporary files: the run leaves them alone.
    QFile outside(temporary.path() + "/outside.txt");
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("keep");
    outside.close();
    ASSERT_TRUE(QFile::link(outside.fileName(), dataFolder + "/SHOP.inf"));
    WriteData("SHOP.tmp", "stale");

    const DownloadOutcome outcome = Run(Request({t1}, {true}, kAllMembers));

    EXPECT_EQ(library.Calls("TpPutFile"),
              (QStringList{"TpPutFile SHOP.tmp D:\\PROGRAM\\SHOP.bas 1 1",
                           "TpPutFile SHOP.inf D:\\SHOP.INF 1 0",
                           "TpPutFile SHOP.tmp D:\\SHOP\\SMALL.cft 1 1",
                           "TpPutFile SHOP.tmp C:\\SHOP\\A.DA 0 1",
                           "TpPutFile SHOP.tmp C:\\SHOP\\A.DAT 0 1",
                           "TpPutFile SHOP.tmp D:\\SHOP\\ITEMS.LKP 0 1",
                           "TpPutFile SHOP.tmp E:\\SHOP\\A.DAT 0 1"}));
    EXPECT_EQ(TerminalFiles("t1"), kAllShopFiles);
    EXPECT_EQ(ReadTerminal("t1", "D/PROGRAM/SHOP.BAS"), kProgramText);
    EXPECT_EQ(ReadTerminal("t1", "C/SHOP/A.DAT"), "a.dat on C");
    // The information file is the header, byte for byte.
    EXPECT_EQ(ReadTerminal("t1", "D/SHOP.INF"), file.left(ReadProjectEntries(file).dataOffset));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(outcome.incomplete.empty());
    EXPECT_EQ(DataFiles(), (QStringList{"SHOP.inf", "SHOP.prj", "SHOP.tmp"}));
    ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
    EXPECT_EQ(outside.readAll(), "keep");
    QFile stale(dataFolder + "/SHOP.tmp");
    ASSERT_TRUE(stale.open(QIODevice::ReadOnly));
    EXPECT_EQ(stale.readAll(), "stale");
}

TEST_F(DownloadTest, NoInformationFileGoesWithoutAProgramThatArrived) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    const ConnectionSettings t2 = AddTerminal({.folder = "t2", .port = "COM4", .fail = "TpPutFile:2619"});
    WriteShop();

    Run(Request({t1}, {true}, {kFont, kLookup}));
    EXPECT_EQ(TerminalFiles("t1"), (QStringList{"D/SHOP/ITEMS.LKP", "D/SHOP/SMALL.CFT"}));

    Run(Request({t2}, {true}, kAllMembers));
    EXPECT_EQ(TerminalFiles("t2"), QStringList{});
    EXPECT_EQ(prompter.messages, QStringList{"Download program-SHOP fail!\r\n" + CodeText(2619)});
    EXPECT_TRUE(library.Calls("TpPutFile SHOP.inf").isEmpty());
}

TEST_F(DownloadTest, EachProjectFolderIsMadeOncePerTerminalAndAnExistingOneIsNoFault) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    const ConnectionSettings t2 = AddTerminal({.folder = "t2", .port = "COM4"});
    bench.WriteFile("t2", "C/SHOP/OLD.DAT", "old");
    WriteShop();

    Run(Request({t1, t2}, {true, true}, {kFont, kADa, kADatOnC, kLookup, kADatOnE}));

    // The font makes D:\SHOP, so the lookup table on D makes none; A.DAT on C finds C:\SHOP.
    const QStringList perTerminal{"TpMakeDir D:\\SHOP = 0", "TpMakeDir C:\\SHOP = 0",
                                  "TpMakeDir E:\\SHOP = 0"};
    QStringList expected = perTerminal;
    expected << "TpMakeDir D:\\SHOP = 0"
             << "TpMakeDir C:\\SHOP = 2630"
             << "TpMakeDir E:\\SHOP = 0";
    EXPECT_EQ(library.Calls("TpMakeDir"), expected);
    EXPECT_TRUE(prompter.messages.isEmpty());
    for (const char* terminal : {"t1", "t2"}) {
        QStringList files = TerminalFiles(terminal);
        files.removeAll("C/SHOP/OLD.DAT");
        EXPECT_EQ(files, (QStringList{"C/SHOP/A.DA", "C/SHOP/A.DAT", "D/SHOP/ITEMS.LKP",
                                      "D/SHOP/SMALL.CFT", "E/SHOP/A.DAT"}))
            << terminal;
    }
}

TEST_F(DownloadTest, ATerminalThatFailsIsSkippedAndTheNextOneIsServed) {
    const std::vector<ConnectionSettings> roster{
        AddTerminal({.folder = "a-off", .port = "COM3", .serial = "1", .offline = true}),
        AddTerminal({.folder = "b-info", .port = "COM4", .serial = "2", .fail = "TpGetInfo:2681"}),
        AddTerminal({.folder = "c-old", .port = "COM5", .firmware = "A00-1.01", .serial = "3"}),
        AddTerminal({.folder = "d-full", .port = "COM6", .serial = "4", .fail = "TpPutFile:2619"}),
        AddTerminal({.folder = "e-dir", .port = "COM7", .serial = "5", .fail = "TpMakeDir:2626"}),
        AddTerminal({.folder = "f-good", .port = "COM8", .serial = "6"}),
        AddTerminal({.folder = "g-unchecked", .port = "COM9", .serial = "7"}),
        AddTerminal({.folder = "h-no-e", .port = "COM10", .serial = "8", .drives = "C:2048 D:4096"})};
    WriteShop();

    const DownloadOutcome outcome =
        Run(Request(roster, {true, true, true, true, true, true, false, true}, kAllMembers));

    EXPECT_EQ(prompter.messages,
              (QStringList{"TQ-3100-1 is Off-line!", "TQ-3100-2 some error happened!",
                           "The device-COM5-TQ-3100-3's F/W is too old!\r\nUpgrate to A00-1.02 or "
                           "newer to run this project!",
                           "Download program-SHOP fail!\r\n" + CodeText(2619), CodeText(2626),
                           "COM10-TQ-3100-8 has no drive E: for E:\\SHOP\\A.DAT, so nothing of the "
                           "project was sent."}));
    EXPECT_EQ(TerminalFiles("a-off"), QStringList{});
    EXPECT_EQ(TerminalFiles("b-info"), QStringList{});
    EXPECT_EQ(TerminalFiles("c-old"), QStringList{});
    EXPECT_EQ(TerminalFiles("d-full"), QStringList{});
    // The first failed folder ends that terminal's members; what arrived stays.
    EXPECT_EQ(TerminalFiles("e-dir"), (QStringList{"D/PROGRAM/SHOP.BAS", "D/SHOP.INF"}));
    EXPECT_EQ(TerminalFiles("f-good"), kAllShopFiles);
    EXPECT_EQ(TerminalFiles("g-unchecked"), QStringList{});
    EXPECT_EQ(TerminalFiles("h-no-e"), QStringList{});
    EXPECT_TRUE(library.Calls("TpOpen 9").isEmpty());
    // Every link opened was closed again.
    EXPECT_EQ(library.Calls("TpOpen").size() - library.Calls("TpOpen 3 -> none").size(),
              library.Calls("TpClose").size());
    EXPECT_EQ(outcome.incomplete, (std::vector<size_t>{0, 1, 2, 3, 4, 7}));
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(DataFiles(), QStringList{"SHOP.prj"});
}

// A project's requirements against one terminal's identity.
struct RuleCase {
    const char* name;
    PackRequirements needs;
    std::string model;
    std::string firmware;
    std::string fail;
    std::optional<bool> answer;  // to the model question, when it is asked
    QStringList messages;
    bool identityRead;
    bool sent;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class DownloadRuleTest : public DownloadTest, public ::testing::WithParamInterface<RuleCase> {};

const QString kModelQuestion =
    "The device-COM3-%1-10000042 may run this project not well.\r\nWould you continue to download?";
const QString kTooOld =
    "The device-COM3-TQ-3100-10000042's F/W is too old!\r\nUpgrate to %1 or newer to run this "
    "project!";

TEST_P(DownloadRuleTest, TheVersionAndModelDecideWhetherTheTerminalIsServed) {
    const RuleCase& c = GetParam();
    const ConnectionSettings t1 = AddTerminal(
        {.folder = "t1", .port = "COM3", .model = c.model, .firmware = c.firmware, .fail = c.fail});
    WriteProject("SHOP", c.needs, ShopMembers());
    if (c.answer) prompter.AnswerQuestions({*c.answer});

    Run(Request({t1}, {true}, {kProgram, kADa}));

    EXPECT_EQ(prompter.messages, c.messages);
    if (c.answer) {
        EXPECT_EQ(prompter.questions, QStringList{kModelQuestion.arg(QString::fromStdString(c.model))});
        EXPECT_EQ(prompter.captions.first(), "Travik");
    } else {
        EXPECT_TRUE(prompter.questions.isEmpty());
    }
    EXPECT_EQ(library.Calls("TpGetInfo").size(), c.identityRead ? 1 : 0);
    const QStringList arrived{"C/SHOP/A.DA", "D/PROGRAM/SHOP.BAS", "D/SHOP.INF"};
    EXPECT_EQ(TerminalFiles("t1"), c.sent ? arrived : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Requirements, DownloadRuleTest,
    ::testing::Values(
        RuleCase{"newer_firmware", {1, "A00-1.02"}, "TQ-3100", "A00-1.10", "", {}, {}, true, true},
        RuleCase{"equal_firmware", {1, "A00-1.10"}, "TQ-3100", "A00-1.10", "", {}, {}, true, true},
        // Byte-wise: "1.9" sorts after "1.10".
        RuleCase{"nine_after_ten", {1, "A00-1.9"}, "TQ-3100", "A00-1.10", "", {},
                 {kTooOld.arg("A00-1.9")}, true, false},
        RuleCase{"prefix_never_compared", {1, "ZZZ-1.10"}, "TQ-3100", "A00-1.10", "", {}, {},
                 true, true},
        RuleCase{"other_model_yes", {2, "A00-1.02"}, "TQ-3100", "A00-1.10", "", true, {}, true, true},
        RuleCase{"other_model_no", {2, "A00-1.02"}, "TQ-3100", "A00-1.10", "", false, {}, true,
                 false},
        RuleCase{"model_contained", {3, "A00-1.02"}, "XTQ-3200B", "A00-1.10", "", {}, {}, true, true},
        RuleCase{"unknown_reader_always_asks", {std::nullopt, "A00-1.02"}, "TQ-3100", "A00-1.10",
                 "", true, {}, true, true},
        RuleCase{"all_devices", {0, "A00-1.02"}, "TQ-2200", "A00-1.10", "", {}, {}, true, true},
        RuleCase{"unlisted_reader_needs_no_model", {7, "A00-1.02"}, "TQ-2200", "A00-1.10", "", {},
                 {}, true, true},
        // Without "[FW Sup.]" nothing is checked, so a failing identity read is never met.
        RuleCase{"no_version_no_checks", {2, std::nullopt}, "TQ-2200", "A00-0.01",
                 "TpGetInfo:2681", {}, {}, false, true},
        RuleCase{"no_requirements_means_ccd_1d", {}, "TQ-2200", "A00-1.10", "", true, {}, true,
                 true},
        RuleCase{"no_requirements_means_a00_1_02", {}, "TQ-3100", "A00-1.01", "", {},
                 {kTooOld.arg("A00-1.02")}, true, false},
        RuleCase{"identity_read_fails", {1, "A00-1.02"}, "TQ-3100", "A00-1.10", "TpGetInfo:2681",
                 {}, {"TQ-3100-10000042 some error happened!"}, true, false}));

TEST_F(DownloadTest, CancelStopsBetweenMembersAndNamesTheTerminalsLeftShort) {
    const std::vector<ConnectionSettings> roster{
        AddTerminal({.folder = "t0", .port = "COM5", .serial = "0", .offline = true}),
        AddTerminal({.folder = "t1", .port = "COM3", .serial = "1"}),
        AddTerminal({.folder = "t2", .port = "COM4", .serial = "2"})};
    WriteShop();
    progress.onBefore = [](int announced) { return announced < 3; };

    const DownloadOutcome outcome =
        Run(Request(roster, {true, true, true}, {kProgram, kFont, kADa, kLookup}));

    EXPECT_EQ(progress.announced,
              (QStringList{"SHOP.bas -> COM3-TQ-3100-1 D:\\PROGRAM\\SHOP.bas (25)",
                           "SMALL.cft -> COM3-TQ-3100-1 D:\\SHOP\\SMALL.cft (10)",
                           "A.DA -> COM3-TQ-3100-1 C:\\SHOP\\A.DA (4)"}));
    EXPECT_EQ(progress.finished, (QList<qint64>{25, 10}));
    // The member in hand arrived whole; the one refused never started.
    EXPECT_EQ(TerminalFiles("t1"), (QStringList{"D/PROGRAM/SHOP.BAS", "D/SHOP.INF", "D/SHOP/SMALL.CFT"}));
    EXPECT_TRUE(library.Calls("TpMakeDir C:").isEmpty());
    EXPECT_EQ(TerminalFiles("t2"), QStringList{});
    EXPECT_TRUE(library.Calls("TpOpen 4").isEmpty());
    EXPECT_EQ(prompter.messages,
              (QStringList{"TQ-3100-0 is Off-line!",
                           "Download cancelled. These terminals did not receive the whole "
                           "selection:\r\nCOM5-TQ-3100-0\r\nCOM3-TQ-3100-1\r\nCOM4-TQ-3100-2"}));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.incomplete, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(DataFiles(), QStringList{"SHOP.prj"});
}

// One terminal's run is a worker's; the window names the terminals left short once, not each
// worker again.
TEST_F(DownloadTest, ACancelledRunForOneTerminalLeavesTheSummaryToItsParent) {
    const std::vector<ConnectionSettings> roster{AddTerminal({.folder = "t1", .port = "COM3", .serial = "1"})};
    WriteShop();
    progress.onBefore = [](int) { return false; };
    const DownloadOutcome outcome = Run(Request(roster, {true}, {kProgram}));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('|').toStdString();
}

TEST_F(DownloadTest, TheSelectionMessagesComeAfterEveryCheckedTerminalWasTried) {
    const ConnectionSettings good = AddTerminal({.folder = "t1", .port = "COM3"});
    const ConnectionSettings old = AddTerminal({.folder = "t2", .port = "COM4", .firmware = "A00-1.00"});
    WriteShop();

    Run(Request({good, old}, {false, false}, kAllMembers));
    EXPECT_EQ(prompter.messages, QStringList{"No Terminal is selected to download!"});
    EXPECT_TRUE(library.calls.isEmpty());

    prompter.messages.clear();
    Run(Request({good, old}, {true, true}, {}));
    EXPECT_EQ(prompter.messages,
              (QStringList{"The device-COM4-TQ-3100-10000042's F/W is too old!\r\nUpgrate to "
                           "A00-1.02 or newer to run this project!",
                           "No file is selected to download!"}));
    EXPECT_EQ(library.Calls("TpGetInfo").size(), 2);
    EXPECT_TRUE(library.Calls("TpPutFile").isEmpty());
    EXPECT_TRUE(library.Calls("TpMakeDir").isEmpty());
}

TEST_F(DownloadTest, AProjectFileThatIsGoneOrChangedSendsNothing) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    WriteShop();
    const DownloadRequest request = Request({t1}, {true}, kAllMembers);

    QFile::remove(dataFolder + "/SHOP.prj");
    Run(request);
    EXPECT_EQ(prompter.messages, QStringList{"Project file is not exist!"});

    // Another member at the same position would be sent in its place.
    std::vector<PackMember> members = ShopMembers();
    members[kADa].terminalPath = "C:\\SHOP\\B.DA";
    WriteProject("SHOP", {1, "A00-1.02"}, members);
    Run(request);
    EXPECT_EQ(prompter.messages.last(),
              "The project file has changed since its members were listed. Open its properties "
              "again.");

    // New requirements are held against the terminals only once the dialog has shown them.
    WriteProject("SHOP", {1, "A00-9.99"}, ShopMembers());
    Run(request);
    EXPECT_EQ(prompter.messages.size(), 3);
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(TerminalFiles("t1"), QStringList{});
}

// Entry lines of empty members that run past the first megabyte.
QByteArray LongHeader() {
    QByteArray header;
    while (header.size() <= kMaxProjectHeaderBytes) header += "[Info]C:\\SHOP\\A.DAT,0\r\n";
    return header;
}

struct DamagedCase {
    const char* name;
    QByteArray file;
    ProjectCheck check;
};

void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }

class DamagedProjectTest : public DownloadTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedProjectTest, IsNeitherListedNorSent) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    WriteData("SHOP.prj", GetParam().file);
    const QString expected = QString::fromStdString(ProjectCheckText(GetParam().check));

    const ListedProject project = LoadProject(MakeServices(), dataFolder, "SHOP");
    EXPECT_EQ(project.error, expected);
    EXPECT_TRUE(project.entries.empty());

    // Damaged after the dialog listed it: still nothing leaves.
    Run({dataFolder, "SHOP", {}, project.header, {t1}, {true}, {0, 1}});
    EXPECT_EQ(prompter.messages, QStringList{expected});
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(TerminalFiles("t1"), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedProjectTest,
    ::testing::Values(
        DamagedCase{"member_past_end", "[Info]C:\\SHOP\\A.DAT,100\r\nabc",
                    {ProjectError::MemberPastEnd, 0, {}}},
        DamagedCase{"no_comma", "[Info]C:\\SHOP\\A.DAT\r\nabc", {ProjectError::EntryWithoutComma, 0, {}}},
        // The member lies past the header's megabyte, and past the end too.
        DamagedCase{"member_past_end_beyond_the_header",
                    "[Info]C:\\SHOP\\A.DAT,2000001\r\n" + QByteArray(2000000, 'x'),
                    {ProjectError::MemberPastEnd, 0, {}}},
        DamagedCase{"header_over_1_mb", LongHeader() + "abc", {ProjectError::HeaderTooLong, -1, {}}},
        DamagedCase{"unterminated_version", "[Ver.]1\r\n[FW Sup.]A00-1.02",
                    {ProjectError::UnterminatedVersion, -1, {}}}));

TEST_F(DownloadTest, ALocalFileThatCannotBeWrittenEndsThatTerminalsTurn) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    const ConnectionSettings t2 = AddTerminal({.folder = "t2", .port = "COM4"});
    WriteShop();
    ScriptedFileSystem files;
    // The information file cannot be made for the first terminal, a member not for the second.
    files.Fail(ScriptedFileSystem::Operation::WriteWholeFile, "SHOP.inf", kPcDiskFull);
    Run(Request({t1}, {true}, kAllMembers), files);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith("Cannot write " + dataFolder + "/.tarvik-work-"));
    EXPECT_TRUE(prompter.messages[0].endsWith("/SHOP.inf (System error Code:112)."));
    EXPECT_TRUE(library.Calls("TpPutFile").isEmpty());

    ScriptedFileSystem stagingFails;
    stagingFails.Fail(ScriptedFileSystem::Operation::CopyChunk, "SHOP.tmp", kPcDiskFull, 1);
    Run(Request({t2}, {true}, {kProgram, kFont, kADa}), stagingFails);
    EXPECT_TRUE(prompter.messages.last().startsWith("Cannot write " + dataFolder + "/.tarvik-work-"));
    EXPECT_TRUE(prompter.messages.last().endsWith("/SHOP.tmp (System error Code:112)."));
    EXPECT_EQ(TerminalFiles("t2"), (QStringList{"D/PROGRAM/SHOP.BAS", "D/SHOP.INF"}));
    EXPECT_EQ(DataFiles(), QStringList{"SHOP.prj"});
}

TEST_F(DownloadTest, MembersLargerThanAChunkArriveWholeAndAFailurePartWaySendsNothing) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    const ConnectionSettings t2 = AddTerminal({.folder = "t2", .port = "COM4"});
    // Chunks begin at offsets that are no multiple of 10, the program ends within a key, and
    // the file runs past the header's megabyte.
    QByteArray program(2 * kCopyChunkBytes + 7, Qt::Uninitialized);
    for (qsizetype i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 31 % 251);
    const QByteArray history(kMaxProjectHeaderBytes, 'h');
    WriteProject("SHOP", {1, "A00-1.02"},
                 {{"D:\\PROGRAM\\SHOP.bas", program}, {"C:\\SHOP\\HISTORY.DAT", history}});

    Run(Request({t1}, {true}, {0, 1}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(ReadTerminal("t1", "D/PROGRAM/SHOP.BAS"), program);
    EXPECT_EQ(ReadTerminal("t1", "C/SHOP/HISTORY.DAT"), history);

    ScriptedFileSystem files;
    files.Fail(ScriptedFileSystem::Operation::CopyChunk, "SHOP.prj", kPcDiskFull, 1);
    Run(Request({t2}, {true}, {0, 1}), files);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].endsWith("/SHOP.tmp (System error Code:112)."));
    EXPECT_EQ(files.calls.filter("CopyChunk").size(), 2);
    EXPECT_EQ(TerminalFiles("t2"), QStringList{});
    // Only t1's three files ever left.
    EXPECT_EQ(library.Calls("TpPutFile").size(), 3);
}

TEST_F(DownloadTest, AMemberNoTerminalCanHoldIsListedWithItsReasonAndNeverSent) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    WriteData("SHOP.prj", RawProject({{"D:\\PROGRAM\\SHOP.bas", kProgramText},
                                      {"c:\\X.TXT", "lower-case drive"},
                                      {"C:\\SHOP\\TOOLONGNAME.DAT", "long"},
                                      {"C:\\SHOP\\A.DAT", "a.dat"}}));

    const ListedProject project = LoadProject(MakeServices(), dataFolder, "SHOP");
    ASSERT_EQ(project.error, "");
    const MemberLists lists = SplitForDownload(project.entries);
    ASSERT_EQ(lists.dataFiles.size(), 3u);
    EXPECT_EQ(lists.dataFiles[0].refusal,
              "A terminal cannot hold c:\\X.TXT: it does not start with C:\\, D:\\ or E:\\.");
    EXPECT_EQ(lists.dataFiles[1].refusal,
              "A terminal cannot hold C:\\SHOP\\TOOLONGNAME.DAT: a folder or file name is not an "
              "8.3 name.");
    EXPECT_EQ(lists.dataFiles[2].refusal, "");
    EXPECT_EQ(lists.programs[0].refusal, "");

    // A request that names them anyway sends the rest, and the terminal's information file
    // names only what it got.
    Run(Request({t1}, {true}, {0, 1, 2, 3}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(TerminalFiles("t1"), (QStringList{"C/SHOP/A.DAT", "D/PROGRAM/SHOP.BAS", "D/SHOP.INF"}));
    EXPECT_EQ(ReadTerminal("t1", "D/SHOP.INF"),
              "[Info]D:\\PROGRAM\\SHOP.bas,25\r\n[Info]C:\\SHOP\\A.DAT,5\r\n");

    Run(Request({t1}, {true}, {1, 2}));
    EXPECT_EQ(prompter.messages, QStringList{"No file is selected to download!"});
    // A turn that sent nothing is no success in the journal either.
    const QStringList lines = OwnJournal::Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("10000042|COM3|download|") && lines[0].endsWith("|ok|"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("|failed|No file is selected to download!")) << lines[1].toStdString();
}

TEST_F(DownloadTest, OnlyTheFirstProgramIsTheProgramAndALaterOneGoesAsAnOrdinaryMember) {
    const ConnectionSettings t1 = AddTerminal({.folder = "t1", .port = "COM3"});
    WriteData("SHOP.prj", RawProject({{"D:\\PROGRAM\\SHOP.bas", kProgramText},
                                      {"D:\\PROGRAM\\OLD.bas", "10 REM OLD\r\n"}}));
    const ListedProject project = LoadProject(MakeServices(), dataFolder, "SHOP");
    const MemberLists lists = SplitForDownload(project.entries);
    ASSERT_EQ(lists.programs.size(), 1u);
    EXPECT_EQ(lists.programs[0].entry, 0);
    ASSERT_EQ(lists.dataFiles.size(), 1u);
    EXPECT_EQ(lists.dataFiles[0].displayName, "OLD.bas");

    Run(Request({t1}, {true}, {0, 1}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    // No second information file, and the later one arrives as plain text all the same.
    EXPECT_EQ(library.Calls("TpPutFile"),
              (QStringList{"TpPutFile SHOP.tmp D:\\PROGRAM\\SHOP.bas 1 1",
                           "TpPutFile SHOP.inf D:\\SHOP.INF 1 0",
                           "TpPutFile SHOP.tmp D:\\PROGRAM\\OLD.bas 0 1"}));
    EXPECT_EQ(ReadTerminal("t1", "D/PROGRAM/OLD.BAS"), "10 REM OLD\r\n");
}

}  // namespace
