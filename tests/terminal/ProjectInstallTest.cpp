#include "terminal/ProjectInstall.h"

#include "core/Services.h"
#include "link/TerminalLink.h"
#include "platform/Progress.h"
#include "project/ProjectFile.h"
#include "project/ProjectPack.h"
#include "support/OwnJournal.h"
#include "support/RecordingClock.h"
#include "support/ScriptedFileSystem.h"
#include "support/ScriptedPrompter.h"
#include "support/TempBench.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Records every file an operation reports and cancels where a test says.
class RecordingProgress final : public ProgressObserver {
public:
    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override {
        Q_UNUSED(from);
        Q_UNUSED(bytes);
        destinations << to;
        return !onBefore || onBefore(static_cast<int>(destinations.size()));
    }
    void AfterFile(qint64 bytes) override { sent.push_back(bytes); }

    QStringList destinations;
    std::vector<qint64> sent;
    // Runs before file n (counted from 1); false cancels there.
    std::function<bool(int)> onBefore;
};

QByteArray Program() {
    QByteArray plain = "10 PRINT \"STOCK\"\r\n20 GOTO 10\r\n";
    for (int i = 0; i < 256; ++i) plain += static_cast<char>(i);  // every byte wraps somewhere
    return plain;
}

const std::vector<PackMember> kStock = {
    {"D:\\PROGRAM\\STOCK.bas", Program()},
    {"D:\\STOCK\\SMALL.cft", QByteArray("FONT\x00\x01\x02", 7)},
    {"C:\\STOCK\\ITEMS.DAT", "A001;Apples\r\nA002;Pears\r\n"},
    {"D:\\STOCK\\ITEMS.LKP", "A001\r\nA002\r\n"},
    {"E:\\STOCK\\COUNTS.DAT", QByteArray(3000, 'c')},
};

using Snapshot = QMap<QString, QByteArray>;

class ProjectInstallTest : public ::testing::Test {
protected:
    ProjectInstallTest() {
        bench.Add({.folder = "t", .port = "COM3"});
        bench.WriteFile("t", "D/PROGRAM/MAIN.BAS", "10 END");
        record.portName = "COM3";
        record.model = "TQ-3100";
        record.serialNumber = "10000042";
        dataFolder = data.path();
    }

    QString Pack(const QString& name, const PackRequirements& requirements,
                 const std::vector<PackMember>& members) {
        const PackedProject packed = BuildProjectFile(requirements, members);
        EXPECT_EQ(packed.error, "");
        return WriteProject(name, packed.file);
    }
    QString WriteProject(const QString& name, const QByteArray& bytes) {
        const QString path = data.filePath(name + ".prj");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString Stock() { return Pack("STOCK", {0, "A00-0.80"}, kStock); }

    DropOutcome Drop(const QStringList& files) {
        TerminalLink link(bench.Library(), record);
        EXPECT_TRUE(link);
        return DropProjects(services, link, record, files, dataFolder);
    }
    bool Remove(const QString& name) {
        TerminalLink link(bench.Library(), record);
        EXPECT_TRUE(link);
        return RemoveProject(services, link, record, name, dataFolder);
    }

    // Every file on the terminal's drives, "D/STOCK/SMALL.CFT" style, with its bytes.
    Snapshot Terminal() const {
        Snapshot files;
        const QString root = bench.Path() + "/t/";
        for (const char* drive : {"C", "D", "E"}) {
            QDirIterator it(root + drive, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                files.insert(path.mid(root.size()), file.readAll());
            }
        }
        return files;
    }
    bool TerminalHasFolder(const QString& path) const {
        return QFileInfo(bench.Path() + "/t/" + path).isDir();
    }
    // Names in the data folder, hidden ones included.
    QStringList DataFolderNames() const {
        return QDir(dataFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }

    OwnJournal journal;
    TempBench bench;
    ScriptedPrompter prompter;
    RecordingClock clock;
    ScriptedFileSystem files;
    RecordingProgress progress;
    QTemporaryDir data;
    QString dataFolder;
    ConnectionSettings record;
    Services services{bench.Library(), prompter, clock, files, progress};
};

QByteArray HeaderOf(const QString& projectFile) {
    QFile file(projectFile);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    return bytes.left(LocateProjectHeader(bytes).dataOffset);
}

// ---- Dropping ----

TEST_F(ProjectInstallTest, SendsEveryMemberAsTheTerminalRunsItAndTheHeaderLast) {
    const QString stock = Stock();
    const Snapshot before = Terminal();
    ASSERT_EQ(Drop({stock}), DropOutcome::Completed);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.questions.isEmpty());

    Snapshot expected = before;
    expected["D/PROGRAM/STOCK.BAS"] = Program();
    expected["D/STOCK/SMALL.CFT"] = kStock[1].content;
    expected["C/STOCK/ITEMS.DAT"] = kStock[2].content;
    expected["D/STOCK/ITEMS.LKP"] = kStock[3].content;
    expected["E/STOCK/COUNTS.DAT"] = kStock[4].content;
    expected["D/STOCK.INF"] = HeaderOf(stock);
    EXPECT_EQ(Terminal(), expected);

    EXPECT_EQ(progress.destinations,
              (QStringList{"D:\\PROGRAM\\STOCK.bas", "D:\\STOCK\\SMALL.cft", "C:\\STOCK\\ITEMS.DAT",
                           "D:\\STOCK\\ITEMS.LKP", "E:\\STOCK\\COUNTS.DAT", "D:\\STOCK.INF"}));
    const std::vector<qint64> sizes = {Program().size(), 7, 25, 12, 3000, HeaderOf(stock).size()};
    EXPECT_EQ(progress.sent, sizes);
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
    EXPECT_EQ(OwnJournal::Lines(), QStringList{"10000042|COM3|download|" + stock + "|ok|"});
}

TEST_F(ProjectInstallTest, OnlyALowerCaseBasIsAProgramToUnscramble) {
    const QString raw = Pack("RAW", {}, {{"D:\\RAW\\RUN.bas", "10 END"}, {"D:\\RAW\\KEEP.BAS", "10 END"}});
    ASSERT_EQ(Drop({raw}), DropOutcome::Completed);
    EXPECT_EQ(Terminal().value("D/RAW/RUN.BAS"), "10 END");
    // Packed as data, so stored as given and sent as stored.
    EXPECT_EQ(Terminal().value("D/RAW/KEEP.BAS"), "10 END");
}

TEST_F(ProjectInstallTest, MakesTheProjectFoldersOfTheDrivesItUsesAndAcceptsExistingOnes) {
    const QString only = Pack("ONLYD", {}, {{"D:\\ONLYD\\A.DAT", "a"}});
    const QString late = Pack("LATEC", {}, {{"D:\\LATEC\\A.DAT", "a"}, {"C:\\LATEC\\B.DAT", "b"}});
    ASSERT_EQ(Drop({only, late}), DropOutcome::Completed);
    EXPECT_TRUE(TerminalHasFolder("D/ONLYD"));
    EXPECT_FALSE(TerminalHasFolder("C/ONLYD"));
    EXPECT_FALSE(TerminalHasFolder("E/ONLYD"));
    EXPECT_TRUE(TerminalHasFolder("C/LATEC"));
    EXPECT_FALSE(TerminalHasFolder("E/LATEC"));

    // Again over the folders and files of the first time. A data file there may hold what was
    // collected on the terminal: it is replaced only on a Yes, and a No is no failure.
    const QString again = Pack("LATEC", {}, {{"D:\\LATEC\\A.DAT", "a2"}, {"C:\\LATEC\\B.DAT", "b2"}});
    prompter.AnswerQuestions({true, false});
    ASSERT_EQ(Drop({again}), DropOutcome::Completed);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.questions, (QStringList{"D:\\LATEC\\A.DAT exist, Overwrite?",
                                               "C:\\LATEC\\B.DAT exist, Overwrite?"}));
    EXPECT_EQ(Terminal().value("D/LATEC/A.DAT"), "a2");
    EXPECT_EQ(Terminal().value("C/LATEC/B.DAT"), "b");
    EXPECT_TRUE(Terminal().contains("D/LATEC.INF"));
}

TEST_F(ProjectInstallTest, AProjectFileThatCannotBeReadIsPassedOverSilently) {
    const QString stock = Stock();
    ASSERT_EQ(Drop({data.filePath("GONE.prj"), stock}), DropOutcome::Completed);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(Terminal().contains("D/STOCK.INF"));
}

TEST_F(ProjectInstallTest, ATooOldTerminalEndsTheDropBeforeAnythingIsSent) {
    const QString orders = Pack("ORDERS", {1, "A00-1.20"}, {{"D:\\ORDERS\\A.DAT", "a"}});
    const QString stock = Stock();
    const Snapshot before = Terminal();
    EXPECT_EQ(Drop({orders, stock}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages,
              QStringList{"The device-TQ-3100-10000042's F/W is too old!\r\nUpgrate to A00-1.20 "
                          "or newer to run this project!"});
    EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
    EXPECT_EQ(Terminal(), before);
    EXPECT_FALSE(TerminalHasFolder("D/ORDERS"));
    EXPECT_TRUE(progress.destinations.isEmpty());
}

TEST_F(ProjectInstallTest, AnIdentityThatCannotBeReadSendsNothing) {
    bench.Add({.folder = "t", .port = "COM3", .fail = "TpGetInfo:2681"});
    const Snapshot before = Terminal();
    EXPECT_EQ(Drop({Stock()}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages, QStringList{"Get information fail!"});
    EXPECT_EQ(Terminal(), before);
}

class OtherModelTest : public ProjectInstallTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OtherModelTest, TheAnswerDecidesForTheWholeDrop) {
    const bool yes = GetParam();
    const QString scan = Pack("SCAN2D", {2, "A00-0.90"}, {{"D:\\SCAN2D\\A.DAT", "a"}});
    const QString stock = Stock();
    const Snapshot before = Terminal();
    prompter.AnswerQuestions({yes});
    EXPECT_EQ(Drop({scan, stock}), yes ? DropOutcome::Completed : DropOutcome::Ended);
    EXPECT_EQ(prompter.questions,
              QStringList{"This project cannot work well for TQ-3100!\r\nWould you continue to "
                          "download?"});
    EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
    EXPECT_TRUE(prompter.messages.isEmpty());
    if (yes) {
        EXPECT_EQ(Terminal().value("D/SCAN2D/A.DAT"), "a");
        EXPECT_TRUE(Terminal().contains("D/SCAN2D.INF"));
        EXPECT_TRUE(Terminal().contains("D/STOCK.INF"));
    } else {
        EXPECT_EQ(Terminal(), before);
        EXPECT_FALSE(TerminalHasFolder("D/SCAN2D"));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, OtherModelTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Yes" : "No"; });

TEST_F(ProjectInstallTest, TheModelRuleGoesByTheConnectedRecordAndTheRequirementsCarryOver) {
    // The first sets a needed version; the second states only its reader, so the checks apply.
    const QString first = Pack("FIRST", {0, "A00-0.80"}, {{"D:\\FIRST\\A.DAT", "a"}});
    const QString second = Pack("SECOND", {kReaderCcd1DRf, std::nullopt}, {{"D:\\SECOND\\A.DAT", "b"}});
    prompter.AnswerQuestions({false});
    EXPECT_EQ(Drop({first, second}), DropOutcome::Ended);
    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_TRUE(Terminal().contains("D/FIRST.INF"));
    EXPECT_FALSE(Terminal().contains("D/SECOND.INF"));

    // A record connected as the required model passes, whatever the terminal says now; the
    // first drop's data file is asked about before it is replaced.
    record.model = "TQ-3200";
    prompter.AnswerQuestions({true});
    EXPECT_EQ(Drop({first, second}), DropOutcome::Completed);
    EXPECT_EQ(prompter.questions.size(), 2);
}

// ---- Damaged projects: refused whole, nothing sent ----

// Entry lines that run past the first megabyte.
QByteArray LongHeader() {
    QByteArray header;
    while (header.size() <= kMaxProjectHeaderBytes) header += "[Info]D:\\BAD\\A.DAT,0\r\n";
    return header;
}

struct DamagedCase {
    const char* name;
    QByteArray file;
    const char* text;  // after "Project BAD cannot be downloaded!\r\n"
};

void PrintTo(const DamagedCase& c, std::ostream* out) { *out << c.name; }

class DamagedProjectTest : public ProjectInstallTest,
                           public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedProjectTest, EndsTheDropWithItsFaultAndSendsNothing) {
    const QString bad = WriteProject("BAD", GetParam().file);
    const QString stock = Stock();
    const Snapshot before = Terminal();
    EXPECT_EQ(Drop({bad, stock}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages,
              QStringList{QString("Project BAD cannot be downloaded!\r\n") + GetParam().text});
    EXPECT_EQ(Terminal(), before);
    EXPECT_FALSE(TerminalHasFolder("D/BAD"));
    EXPECT_TRUE(progress.destinations.isEmpty());
    EXPECT_EQ(DataFolderNames(), (QStringList{"BAD.prj", "STOCK.prj"}));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedProjectTest,
    ::testing::Values(
        DamagedCase{"EntryWithoutComma", "[Info]D:\\BAD\\A.DAT,1\r\n[Info]D:\\BAD\\B.DAT 1\r\nab",
                    "The project file is damaged: an entry line has no \",\". (entry 2)"},
        DamagedCase{"SizeBeyondTheEnd", "[Info]D:\\BAD\\A.DAT,1\r\n[Info]D:\\BAD\\B.DAT,5\r\nabc",
                    "The project file is damaged: a member reaches beyond the end of the file. "
                    "(entry 2)"},
        DamagedCase{"HugeSize", "[Info]D:\\BAD\\A.DAT,99999999999999999999999\r\nabc",
                    "The project file is damaged: a member reaches beyond the end of the file. "
                    "(entry 1)"},
        DamagedCase{"NegativeSize", "[Info]D:\\BAD\\A.DAT,-1\r\nabc",
                    "The project file is damaged: an entry line has a negative size. (entry 1)"},
        DamagedCase{"LastLineUnended", "[Info]D:\\BAD\\A.DAT,0\r\n[Info]D:\\BAD\\B.DAT,0",
                    "The project file is damaged: its last entry line has no line end. (entry 2)"},
        DamagedCase{"VersionTooLong",
                    "[Ver.]1\r\n[FW Sup.]A00-" + QByteArray(96, '9') + "\r\n[Info]D:\\BAD\\A.DAT,1\r\na",
                    "The project file is damaged: its firmware version is longer than 99 "
                    "characters."},
        DamagedCase{"OtherDrive", "[Info]D:\\BAD\\A.DAT,1\r\n[Info]F:\\BAD\\B.DAT,1\r\nab",
                    "The project names a member that a terminal cannot hold. (entry 2, "
                    "F:\\BAD\\B.DAT: it does not start with C:\\, D:\\ or E:\\)"},
        DamagedCase{"OutOfItsDrive", "[Info]D:\\BAD\\..\\..\\A.DAT,1\r\na",
                    "The project names a member that a terminal cannot hold. (entry 1, "
                    "D:\\BAD\\..\\..\\A.DAT: it names \".\" or \"..\")"},
        DamagedCase{"TooDeep", "[Info]D:\\BAD\\A\\B\\C.DAT,1\r\na",
                    "The project names a member that a terminal cannot hold. (entry 1, "
                    "D:\\BAD\\A\\B\\C.DAT: it lies more than two folders deep)"},
        DamagedCase{"LowerCaseDrive", "[Info]D:\\BAD\\A.DAT,1\r\n[Info]c:\\X.TXT,1\r\nab",
                    "The project names a member that a terminal cannot hold. (entry 2, "
                    "c:\\X.TXT: it does not start with C:\\, D:\\ or E:\\)"},
        DamagedCase{"HeaderOverOneMegabyte", LongHeader() + "ab",
                    "The project file is damaged: its header does not end within its first 1 MB."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProjectInstallTest, AProjectNameThatNoTerminalFolderCanHaveIsRefused) {
    const QString bad = Pack("TOOLONGNAME", {}, {{"D:\\X\\A.DAT", "a"}});
    const Snapshot before = Terminal();
    EXPECT_EQ(Drop({bad}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages,
              QStringList{"Project TOOLONGNAME cannot be downloaded!\r\nIts name must have 1 to 8 "
                          "characters, no dot, and suit a terminal folder."});
    EXPECT_EQ(Terminal(), before);
}

// ---- Failures part way ----

TEST_F(ProjectInstallTest, AMemberTheTerminalHasNoRoomForEndsTheDropAndLeavesNoStagingFile) {
    // Large enough a drive, but full of files of its own.
    bench.Add({.folder = "t", .port = "COM3", .drives = "C:2048 D:4096 E:4"});
    bench.WriteFile("t", "E/FULL.BIN", std::string(2048, 'f'));
    const QString stock = Stock();
    const QString later = Pack("LATER", {}, {{"D:\\LATER\\A.DAT", "a"}});
    EXPECT_EQ(Drop({stock, later}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages, QStringList{"The disk have not enough space!"});
    const Snapshot after = Terminal();
    EXPECT_EQ(after.value("C/STOCK/ITEMS.DAT"), kStock[2].content);
    EXPECT_FALSE(after.contains("E/STOCK/COUNTS.DAT"));
    EXPECT_FALSE(after.contains("D/STOCK.INF"));
    EXPECT_FALSE(TerminalHasFolder("D/LATER"));
    EXPECT_EQ(progress.sent.back(), 0);
    EXPECT_EQ(DataFolderNames(), (QStringList{"LATER.prj", "STOCK.prj"}));
}

// An older model has no E:, and a drive may be too small ever to hold its members. Found
// before anything is sent, or the terminal would list the project with members missing.
TEST_F(ProjectInstallTest, ATerminalWithoutRoomOnAMembersDriveGetsNothingOfTheProject) {
    for (const auto& [drives, told] :
         {std::pair{"C:2048 D:4096", "has no drive E: for E:\\STOCK\\COUNTS.DAT, so nothing"},
          std::pair{"C:2048 D:4096 E:2", "drive E: holds 2 KB, less than the 3 KB of the project's members"}}) {
        bench.Add({.folder = "t", .port = "COM3", .drives = drives});
        prompter.messages.clear();
        const Snapshot before = Terminal();
        EXPECT_EQ(Drop({Stock()}), DropOutcome::Ended);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(prompter.messages[0].contains(told)) << prompter.messages[0].toStdString();
        EXPECT_EQ(Terminal(), before);
        EXPECT_FALSE(TerminalHasFolder("C/STOCK"));
        EXPECT_TRUE(progress.destinations.isEmpty());
    }
}

TEST_F(ProjectInstallTest, AFolderTheTerminalRefusesEndsTheDrop) {
    bench.Add({.folder = "t", .port = "COM3", .fail = "TpMakeDir:2801"});
    EXPECT_EQ(Drop({Stock()}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages, QStringList{"Function fail!"});
    EXPECT_TRUE(progress.destinations.isEmpty());
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
}

TEST_F(ProjectInstallTest, ATerminalThatGoesAwayMidwayEndsTheDrop) {
    const QString stock = Stock();
    progress.onBefore = [this](int file) {
        if (file == 3) bench.Remove("t");
        return true;
    };
    EXPECT_EQ(Drop({stock}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages, QStringList{"Invalid port handle!"});
    EXPECT_EQ(progress.destinations.size(), 3);
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
}

TEST_F(ProjectInstallTest, CancelStopsBetweenMembersAndNeverSendsTheInformationFile) {
    const QString stock = Stock();
    progress.onBefore = [](int file) { return file < 3; };
    EXPECT_EQ(Drop({stock}), DropOutcome::Cancelled);
    EXPECT_TRUE(prompter.messages.isEmpty());
    const Snapshot after = Terminal();
    EXPECT_EQ(after.value("D/STOCK/SMALL.CFT"), kStock[1].content);
    EXPECT_FALSE(after.contains("C/STOCK/ITEMS.DAT"));
    EXPECT_FALSE(after.contains("D/STOCK.INF"));
    EXPECT_EQ(progress.sent.size(), 2u);
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
    EXPECT_EQ(OwnJournal::Lines(),
              QStringList{"10000042|COM3|download|" + stock + "|failed|Cancelled by the user."});
}

TEST_F(ProjectInstallTest, AnOffLineTerminalIsToldAndJournaledForADropAndARemoval) {
    const QString stock = Stock();
    record.portName = "COM9";
    TerminalLink link(bench.Library(), record);
    ASSERT_FALSE(link);
    EXPECT_EQ(DropProjects(services, link, record, {stock}, dataFolder), DropOutcome::Ended);
    EXPECT_FALSE(RemoveProject(services, link, record, "STOCK", dataFolder));
    EXPECT_EQ(prompter.messages, QStringList(2, "Device is Off-line!"));
    EXPECT_EQ(OwnJournal::Lines(),
              (QStringList{"10000042|COM9|download|" + stock + "|failed|Device is Off-line!",
                           "10000042|COM9|remove|STOCK|failed|Device is Off-line!"}));
}

TEST_F(ProjectInstallTest, AStagingFileThePcCannotWriteEndsTheDropWithItsReason) {
    files.Fail(ScriptedFileSystem::Operation::CopyChunk, "STOCK.tmp", kPcDiskFull, 1);
    EXPECT_EQ(Drop({Stock()}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages,
              QStringList{"D:\\STOCK\\SMALL.cft cannot be prepared for sending: the disk is full."});
    EXPECT_FALSE(Terminal().contains("D/STOCK/SMALL.CFT"));
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
}

TEST_F(ProjectInstallTest, NoTemporaryFolderMeansNothingIsChanged) {
    const QString stock = Stock();
    files.Fail(ScriptedFileSystem::Operation::CreateFolder, ".tarvik-work-", kPcAccessDenied);
    const Snapshot before = Terminal();
    EXPECT_EQ(Drop({stock}), DropOutcome::Ended);
    EXPECT_EQ(prompter.messages,
              QStringList{"Temporary files cannot be made in " + dataFolder +
                          ": access is denied.\r\nNothing was changed."});
    EXPECT_EQ(Terminal(), before);
}

TEST_F(ProjectInstallTest, FilesOfTheUserNamedLikeTheTemporaryOnesAreLeftAlone) {
    const QString stock = Stock();
    const QStringList mine = {"STOCK.tmp", "STOCK.inf", "1200.tmp"};
    for (const QString& name : mine) {
        QFile file(data.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write("mine: " + name.toLatin1());
    }
    ASSERT_EQ(Drop({stock}), DropOutcome::Completed);
    ASSERT_TRUE(Remove("STOCK"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    for (const QString& name : mine) {
        QFile file(data.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "mine: " + name.toLatin1());
    }
    EXPECT_EQ(DataFolderNames(), (QStringList{"1200.tmp", "STOCK.inf", "STOCK.prj", "STOCK.tmp"}));
}

// ---- Removing ----

TEST_F(ProjectInstallTest, RemovingDeletesTheProgramAndInformationFileAndKeepsTheData) {
    ASSERT_EQ(Drop({Stock()}), DropOutcome::Completed);
    const Snapshot dropped = Terminal();
    clock.time = QTime(14, 7, 9);
    ASSERT_TRUE(Remove("STOCK"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    Snapshot expected = dropped;
    expected.remove("D/PROGRAM/STOCK.BAS");
    expected.remove("D/STOCK.INF");
    EXPECT_EQ(Terminal(), expected);
    EXPECT_TRUE(files.calls.filter("1479.tmp").size() > 0);
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
}

TEST_F(ProjectInstallTest, RemovingGoesByTheInformationFileInUpperCase) {
    bench.WriteFile("t", "D/SHOP/MAIN.BAS", "10 END");
    bench.WriteFile("t", "D/SHOP/ITEMS.DAT", "x");
    QDir().mkpath(bench.Path() + "/t/D/EMPTY");
    bench.WriteFile("t", "D/ROOT.DAT", "r");
    bench.WriteFile("t", "D/SHOP.inf",
                    "[Ver.]1\r\n[Info]d:\\shop\\main.bas,6\r\n[Info]D:\\SHOP\\ITEMS.DAT,1\r\n"
                    "[Info]D:\\EMPTY\\GONE.DAT,1\r\n[Info]D:\\ROOT.DAT,1\r\n[Info]D:\\NOFOLDER\\X.DAT,1\r\n");
    ASSERT_TRUE(Remove("SHOP"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    const Snapshot after = Terminal();
    EXPECT_FALSE(after.contains("D/SHOP/MAIN.BAS"));
    EXPECT_EQ(after.value("D/SHOP/ITEMS.DAT"), "x");
    EXPECT_EQ(after.value("D/ROOT.DAT"), "r");
    EXPECT_FALSE(after.contains("D/SHOP.inf"));
    EXPECT_TRUE(TerminalHasFolder("D/SHOP"));
    EXPECT_FALSE(TerminalHasFolder("D/EMPTY"));
}

TEST_F(ProjectInstallTest, AMemberThatCannotBeRemovedStopsTheRestButNotTheInformationFile) {
    bench.WriteFile("t", "D/SHOP/ITEMS.DAT", "x");
    bench.WriteFile("t", "D/SHOP/MAIN.BAS", "10 END");
    bench.WriteFile("t", "D/SHOP.inf", "[Info]D:\\SHOP\\ITEMS.DAT,1\r\n[Info]D:\\SHOP\\MAIN.BAS,6\r\n");
    bench.Add({.folder = "t", .port = "COM3", .fail = "TpRemoveDir:2801"});
    EXPECT_TRUE(Remove("SHOP"));
    EXPECT_EQ(prompter.messages, QStringList{"Function fail!"});
    EXPECT_TRUE(Terminal().contains("D/SHOP/MAIN.BAS"));
    EXPECT_FALSE(Terminal().contains("D/SHOP.inf"));
    // The project is gone from the list, yet the journal keeps what was left on the terminal.
    EXPECT_EQ(OwnJournal::Lines(), QStringList{"10000042|COM3|remove|SHOP|failed|Function fail!"});
}

struct UntrustedCase {
    const char* name;
    const char* information;
    const char* text;
};

void PrintTo(const UntrustedCase& c, std::ostream* out) { *out << c.name; }

class UntrustedInformationTest : public ProjectInstallTest,
                                 public ::testing::WithParamInterface<UntrustedCase> {};

TEST_P(UntrustedInformationTest, RemovesNothingAndSaysWhy) {
    bench.WriteFile("t", "D/SHOP/MAIN.BAS", "10 END");
    bench.WriteFile("t", "D/SHOP.inf", GetParam().information);
    const Snapshot before = Terminal();
    EXPECT_FALSE(Remove("SHOP"));
    EXPECT_EQ(prompter.messages, QStringList{GetParam().text});
    EXPECT_EQ(Terminal(), before);
    EXPECT_EQ(DataFolderNames(), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UntrustedInformationTest,
    ::testing::Values(
        UntrustedCase{"NoComma", "[Info]D:\\SHOP\\MAIN.BAS,6\r\n[Info]D:\\SHOP\\A.DAT\r\n",
                      "D:\\SHOP.INF is damaged, so nothing of SHOP was removed.\r\nThe project "
                      "file is damaged: an entry line has no \",\". (entry 2)"},
        UntrustedCase{"Unended", "[Info]D:\\SHOP\\MAIN.BAS,6",
                      "D:\\SHOP.INF is damaged, so nothing of SHOP was removed.\r\nThe project "
                      "file is damaged: its last entry line has no line end. (entry 1)"},
        UntrustedCase{"OutsideTheDrives", "[Info]D:\\SHOP\\MAIN.BAS,6\r\n[Info]D:\\..\\X.BAS,1\r\n",
                      "D:\\SHOP.INF names D:\\..\\X.BAS: it names \".\" or \"..\".\r\nNothing of "
                      "SHOP was removed."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProjectInstallTest, AnInformationFileThatCannotBeReadBackRemovesNothing) {
    bench.WriteFile("t", "D/SHOP/MAIN.BAS", "10 END");
    EXPECT_FALSE(Remove("SHOP"));
    EXPECT_EQ(prompter.messages, QStringList{"The file does not exist."});
    EXPECT_TRUE(Terminal().contains("D/SHOP/MAIN.BAS"));
    EXPECT_EQ(DataFolderNames(), QStringList{});
}

TEST_F(ProjectInstallTest, AReadBackFileThePcCannotOpenRemovesNothing) {
    ASSERT_EQ(Drop({Stock()}), DropOutcome::Completed);
    const Snapshot dropped = Terminal();
    files.Fail(ScriptedFileSystem::Operation::ReadWholeFile, "1200.tmp", kPcAccessDenied);
    EXPECT_FALSE(Remove("STOCK"));
    EXPECT_EQ(prompter.messages,
              QStringList{"D:\\STOCK.INF was read back from the terminal but cannot be opened: "
                          "access is denied.\r\nNothing of STOCK was removed."});
    EXPECT_EQ(Terminal(), dropped);
    EXPECT_EQ(DataFolderNames(), QStringList{"STOCK.prj"});
}

TEST_F(ProjectInstallTest, AMissingDataFolderIsMadeForTheTemporaryFiles) {
    bench.WriteFile("t", "D/SHOP/MAIN.BAS", "10 END");
    bench.WriteFile("t", "D/SHOP.inf", "[Info]D:\\SHOP\\MAIN.BAS,6\r\n");
    dataFolder = data.filePath("Documents/Tarvik");
    ASSERT_TRUE(Remove("SHOP"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_FALSE(Terminal().contains("D/SHOP/MAIN.BAS"));
    EXPECT_TRUE(QDir(dataFolder).exists());
    EXPECT_TRUE(DataFolderNames().isEmpty());

    // A file where the folder belongs is no folder to make.
    dataFolder = data.filePath("Documents/Tarvik/FILE");
    QFile(dataFolder).open(QIODevice::WriteOnly);
    EXPECT_FALSE(Remove("SHOP"));
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.value(0).contains("a file stands where a folder belongs"));
}

}  // namespace
