#include "project/ProjectUpload.h"

#include "link/ResultCodes.h"
#include "platform/LocalFileSystem.h"
#include "project/ProjectBenchFixture.h"
#include "support/ScriptedFileSystem.h"

#include <gtest/gtest.h>

namespace {

QString CodeText(ResultCode rc) { return QString::fromStdString(ResultCodeText(rc)); }

enum Member { kProgram, kFont, kADa, kADatOnC, kLookup, kADatOnE };

// SHOP installed on terminal t1 (COM3, serial 10000042): its information file on D: and its
// members where the download put them.
class UploadTest : public ProjectBenchTest {
protected:
    UploadTest() {
        record = AddTerminal({.folder = "t1", .port = "COM3"});
        const PackedProject packed = BuildProjectFile({1, "A00-1.02"}, {{"D:\\PROGRAM\\SHOP.bas", "10 END"},
                                                                         {"D:\\SHOP\\SMALL.cft", "font"},
                                                                         {"C:\\SHOP\\A.DA", "a.da"},
                                                                         {"C:\\SHOP\\A.DAT", "a.dat on C"},
                                                                         {"D:\\SHOP\\ITEMS.LKP", "lookup"},
                                                                         {"E:\\SHOP\\A.DAT", "a.dat on E"}});
        header = packed.file.left(ReadProjectEntries(packed.file).dataOffset);
        bench.WriteFile("t1", "D/SHOP.INF", header.toStdString());
        bench.WriteFile("t1", "D/PROGRAM/SHOP.bas", "10 END");
        bench.WriteFile("t1", "D/SHOP/SMALL.cft", "font");
        bench.WriteFile("t1", "C/SHOP/A.DA", "a.da");
        bench.WriteFile("t1", "C/SHOP/A.DAT", "a.dat on C");
        bench.WriteFile("t1", "D/SHOP/ITEMS.LKP", "lookup");
        bench.WriteFile("t1", "E/SHOP/A.DAT", "a.dat on E");
    }

    ListedProject Read(const QString& name = "SHOP") {
        return ReadInstalledProject(MakeServices(), dataFolder, record, name);
    }
    int Upload(std::vector<int> members, PcFileSystem& files = LocalFiles()) {
        return UploadDataFiles(MakeServices(files),
                               {dataFolder, "SHOP", record, header, std::move(members)});
    }

    ConnectionSettings record;
    QByteArray header;
};

TEST_F(UploadTest, TheInstalledProjectIsReadFromItsInformationFile) {
    const ListedProject project = Read();
    EXPECT_EQ(project.error, "");
    EXPECT_EQ(project.header, header);
    const MemberLists lists = SplitMembers(project.entries);
    ASSERT_EQ(lists.programs.size(), 1u);
    EXPECT_EQ(lists.programs[0].displayName, "SHOP.bas");
    ASSERT_EQ(lists.fonts.size(), 1u);
    EXPECT_EQ(lists.fonts[0].displayName, "SMALL.cft");
    QStringList data;
    for (const ListedMember& member : lists.dataFiles) data << member.displayName;
    EXPECT_EQ(data, (QStringList{"A.DA", "A.DAT", "ITEMS.LKP", "A.DAT"}));
    EXPECT_EQ(library.Calls("TpGetFile"), QStringList{"TpGetFile D:\\SHOP.INF SHOP.tmp 0"});
    EXPECT_EQ(DataFiles(), QStringList{});
}

struct ReadFailureCase {
    const char* name;
    std::function<void(TempBench&)> arrange;
    QString projectName;
    QString message;
    bool contactsTerminal;
};

void PrintTo(const ReadFailureCase& c, std::ostream* os) { *os << c.name; }

class InstalledProjectFailureTest : public UploadTest,
                                    public ::testing::WithParamInterface<ReadFailureCase> {};

TEST_P(InstalledProjectFailureTest, ShowsWhyAndListsNothing) {
    const ReadFailureCase& c = GetParam();
    if (c.arrange) c.arrange(bench);
    const ListedProject project = Read(c.projectName);
    EXPECT_EQ(project.error, c.message);
    EXPECT_TRUE(project.entries.empty());
    EXPECT_EQ(library.calls.isEmpty(), !c.contactsTerminal);
    EXPECT_EQ(DataFiles(), QStringList{});
}

void WriteInformation(TempBench& bench, const char* text) { bench.WriteFile("t1", "D/SHOP.INF", text); }

QString Damaged(ProjectCheck check) {
    return "D:\\SHOP.INF: " + QString::fromStdString(ProjectCheckText(check));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, InstalledProjectFailureTest,
    ::testing::Values(
        ReadFailureCase{"offline",
                        [](TempBench& b) {
                            b.Add({.folder = "t1", .port = "COM3", .offline = true});
                        },
                        "SHOP", "Device is Off-line!", true},
        ReadFailureCase{"no_information_file", [](TempBench& b) { b.Remove("t1"); b.Add({.folder = "t1", .port = "COM3"}); },
                        "SHOP", "This project is not exist!", true},
        ReadFailureCase{"entry_without_comma",
                        [](TempBench& b) { WriteInformation(b, "[Info]C:\\SHOP\\A.DAT\r\n"); },
                        "SHOP", Damaged({ProjectError::EntryWithoutComma, 0, {}}), true},
        ReadFailureCase{"cut_short", [](TempBench& b) { WriteInformation(b, "[Info]C:\\SHOP\\A.DAT,4"); },
                        "SHOP", Damaged({ProjectError::UnterminatedEntry, 0, {}}), true},
        ReadFailureCase{"dot_dot_name",
                        [](TempBench& b) { WriteInformation(b, "[Info]C:\\SHOP\\..,5\r\n"); },
                        "SHOP", Damaged({ProjectError::InvalidMemberPath, 0, "C:\\SHOP\\.."}), true},
        ReadFailureCase{"slash_in_name",
                        [](TempBench& b) { WriteInformation(b, "[Info]C:\\SHOP\\A/B,5\r\n"); },
                        "SHOP", Damaged({ProjectError::InvalidMemberPath, 0, "C:\\SHOP\\A/B"}), true},
        ReadFailureCase{"project_named_dot_dot", {}, "..",
                        "The project name \"..\" read from the terminal cannot name a file on the PC.",
                        false},
        ReadFailureCase{"project_name_with_slash", {}, "A/B",
                        "The project name \"A/B\" read from the terminal cannot name a file on the PC.",
                        false}));

TEST_F(UploadTest, CopiesExactlyTheCheckedDataFilesOnceEach) {
    ScriptedFileSystem files;
    // A.DA is not A.DAT; a line checked twice is copied once.
    EXPECT_EQ(Upload({kADa, kADa}, files), 1);
    EXPECT_EQ(DataFiles(), QStringList{"SHOP/10000042/A.DA"});
    EXPECT_EQ(ReadData("SHOP/10000042/A.DA"), "a.da");
    EXPECT_EQ(library.Calls("TpGetFile"),
              (QStringList{"TpGetFile D:\\SHOP.INF SHOP.tmp 0", "TpGetFile C:\\SHOP\\A.DA SHOP.tmp 1"}));
    EXPECT_EQ(progress.announced,
              QStringList{"C:\\SHOP\\A.DA -> " + dataFolder + "/SHOP/10000042/A.DA (4)"});

    EXPECT_EQ(Upload({kADatOnE, kLookup}, files), 2);
    EXPECT_EQ(DataFiles(), (QStringList{"SHOP/10000042/A.DA", "SHOP/10000042/A.DAT",
                                        "SHOP/10000042/ITEMS.LKP"}));
    EXPECT_EQ(ReadData("SHOP/10000042/A.DAT"), "a.dat on E");

    // An earlier upload's file stays unless the user says Yes; then it is replaced by what the
    // terminal holds now, and the bytes told are the ones that arrived, not the size the
    // information file states.
    bench.WriteFile("t1", "C/SHOP/A.DA", "a.da, grown since");
    prompter.AnswerQuestions({false, true});
    EXPECT_EQ(Upload({kADa}, files), 0);
    EXPECT_EQ(ReadData("SHOP/10000042/A.DA"), "a.da");
    EXPECT_EQ(prompter.questions.last(), dataFolder + "/SHOP/10000042/A.DA exist, Overwrite?");
    EXPECT_EQ(Upload({kADa}, files), 1);
    EXPECT_EQ(ReadData("SHOP/10000042/A.DA"), "a.da, grown since");
    EXPECT_EQ(progress.finished, (QList<qint64>{4, 6, 10, 17}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    // A file the user kept is not copied: the journal tells so, as no failure.
    const QString line = "10000042|COM3|upload|SHOP|";
    EXPECT_EQ(OwnJournal::Lines(), (QStringList{line + "ok|", line + "ok|",
                                                line + "ok|1 kept as they were.", line + "ok|"}));
    // However large, a data file never passes through memory: only the information files were
    // read whole, one per upload.
    EXPECT_EQ(files.calls.filter("WholeFile").size(), 4);
    EXPECT_EQ(files.calls.filter("ReadWholeFile").size(), 4);
}

TEST_F(UploadTest, TwoCheckedFilesOfOneNameAreRefusedBeforeAnyIsCopied) {
    EXPECT_EQ(Upload({kADa, kADatOnC, kADatOnE}), 0);
    EXPECT_EQ(prompter.messages,
              QStringList{"C:\\SHOP\\A.DAT and E:\\SHOP\\A.DAT would both be saved as A.DAT. Check "
                          "only one of them."});
    EXPECT_EQ(DataFiles(), QStringList{});
}

TEST_F(UploadTest, OnlyDataFilesCanBeAskedForAndNoneCheckedIsSaidAfterTheRead) {
    EXPECT_EQ(Upload({kProgram, kFont, 99, -1}), 0);
    EXPECT_EQ(prompter.messages, QStringList{"No file is selected!"});
    EXPECT_EQ(library.Calls("TpGetFile"), QStringList{"TpGetFile D:\\SHOP.INF SHOP.tmp 0"});
    EXPECT_EQ(DataFiles(), QStringList{});
}

class UploadSerialTest : public UploadTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UploadSerialTest, ASerialNumberThatIsNoPlainNameIsRefused) {
    record.serialNumber = GetParam();
    EXPECT_EQ(Upload({kADa}), 0);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith("The serial number \""));
    EXPECT_TRUE(prompter.messages[0].endsWith("\" read from the terminal cannot name a folder on the PC."));
    EXPECT_EQ(DataFiles(), QStringList{});
    EXPECT_FALSE(QFileInfo::exists(temporary.path() + "/x"));
}

INSTANTIATE_TEST_SUITE_P(Serials, UploadSerialTest,
                         ::testing::Values("", ".", "..", "../../x", "a/b", "a\\b",
                                           std::string("a\0b", 3)));

TEST_F(UploadTest, AProjectNameThatIsNoPlainNameIsRefusedBeforeTheTerminalIsAsked) {
    EXPECT_EQ(UploadDataFiles(MakeServices(), {dataFolder, "..", record, header, {kADa}}), 0);
    EXPECT_EQ(prompter.messages,
              QStringList{"The project name \"..\" read from the terminal cannot name a folder on "
                          "the PC."});
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(DataFiles(), QStringList{});
}

TEST_F(UploadTest, AFileArrivesWholeOrTheOldOneStays) {
    WriteData("SHOP/10000042/A.DA", "old");
    ScriptedFileSystem files;
    files.Fail(ScriptedFileSystem::Operation::CopyFile, "10000042/A.DA", kPcDiskFull);
    prompter.AnswerQuestions({true});
    EXPECT_EQ(Upload({kADa, kLookup}, files), 0);
    EXPECT_EQ(prompter.messages,
              QStringList{"Cannot write " + dataFolder +
                          "/SHOP/10000042/A.DA (System error Code:112)."});
    EXPECT_EQ(ReadData("SHOP/10000042/A.DA"), "old");
    // The upload stops at the first failure, and leaves no staging file behind.
    EXPECT_EQ(DataFiles(), QStringList{"SHOP/10000042/A.DA"});

    // A new file that cannot be moved into place does not appear either.
    files.Fail(ScriptedFileSystem::Operation::MoveFile, "10000042/ITEMS.LKP", kPcDiskFull);
    EXPECT_EQ(Upload({kLookup}, files), 0);
    EXPECT_EQ(prompter.messages.last(),
              "Cannot write " + dataFolder + "/SHOP/10000042/ITEMS.LKP (System error Code:112).");
    EXPECT_EQ(DataFiles(), QStringList{"SHOP/10000042/A.DA"});
    EXPECT_EQ(progress.finished, (QList<qint64>{0, 0}));

    // A member gone from the terminal: its transfer fails and nothing appears.
    prompter.messages.clear();
    bench.Remove("t1");
    AddTerminal({.folder = "t1", .port = "COM3"});
    bench.WriteFile("t1", "D/SHOP.INF", header.toStdString());
    EXPECT_EQ(Upload({kLookup}), 0);
    EXPECT_EQ(prompter.messages, QStringList{CodeText(2622)});
    EXPECT_EQ(DataFiles(), QStringList{"SHOP/10000042/A.DA"});
}

TEST_F(UploadTest, NothingIsWrittenThroughALink) {
    QDir().mkpath(temporary.path() + "/elsewhere");
    QDir().mkpath(dataFolder + "/SHOP/10000042");
    QFile outside(temporary.path() + "/elsewhere/A.DA");
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("mine");
    outside.close();
    ASSERT_TRUE(QFile::link(outside.fileName(), dataFolder + "/SHOP/10000042/A.DA"));
    EXPECT_EQ(Upload({kADa}), 0);
    EXPECT_EQ(prompter.messages,
              QStringList{dataFolder + "/SHOP/10000042/A.DA is not a plain file; nothing is "
                                       "written through it."});

    // A serial number's folder that leads elsewhere is no upload folder.
    prompter.messages.clear();
    record.serialNumber = "20000001";
    ASSERT_TRUE(QFile::link(temporary.path() + "/elsewhere", dataFolder + "/SHOP/20000001"));
    EXPECT_EQ(Upload({kLookup}), 0);
    EXPECT_EQ(prompter.messages, QStringList{"Cannot make the folder " + dataFolder + "/SHOP/20000001."});
    EXPECT_FALSE(QFileInfo::exists(temporary.path() + "/elsewhere/ITEMS.LKP"));
    ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
    EXPECT_EQ(outside.readAll(), "mine");
}

TEST_F(UploadTest, TheTerminalIsAskedAgainAtEachUpload) {
    bench.Add({.folder = "t1", .port = "COM3", .offline = true});
    EXPECT_EQ(Upload({kADa}), 0);
    EXPECT_EQ(prompter.messages, QStringList{"Device is Off-line!"});

    bench.Add({.folder = "t1", .port = "COM3"});
    QFile::remove(bench.Path() + "/t1/D/SHOP.INF");
    EXPECT_EQ(Upload({kADa}), 0);
    EXPECT_EQ(prompter.messages.last(), CodeText(2622));

    // Another project under the same name: the lines checked may stand for other files now.
    bench.WriteFile("t1", "D/SHOP.INF", "[Info]C:\\SHOP\\A.DA,4\r\n");
    EXPECT_EQ(Upload({kADa}), 0);
    EXPECT_EQ(prompter.messages.last(),
              "The project on the terminal has changed since its members were listed. Open its "
              "properties again.");
    EXPECT_EQ(DataFiles(), QStringList{});
}

}  // namespace
