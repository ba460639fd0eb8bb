#include "terminal/TerminalFileOperations.h"

#include "support/ScriptedFileSystem.h"
#include "terminal/TerminalOperationFixture.h"

#include <sys/stat.h>

namespace {

class PasteTest : public TerminalOperationFixture {
public:
    PcSource File(const QString& relative) const { return {Pc(relative), false}; }
    PcSource Folder(const QString& relative) const { return {Pc(relative), true}; }

    TerminalPasteResult Paste(const QList<PcSource>& sources, const std::string& target,
                              bool copy = true) {
        return PasteToTerminal(MakeServices(), settings, sources, target, copy);
    }

    // Where a terminal folder lies in the bench: "C/DATA" for C:\DATA, "C" for C:\.
    static QString BenchPath(const char* terminalFolder) {
        QString path = QString::fromLatin1(terminalFolder).remove(1, 1).replace('\\', '/');
        if (path.endsWith('/')) path.chop(1);
        return path;
    }

    // The terminal side of each announced file, in order.
    QStringList AnnouncedDestinations() const {
        QStringList destinations;
        for (const QString& line : progress.announced) destinations << line.section(" -> ", 1);
        return destinations;
    }

    // F1.DAT .. F5.DAT of 3000 bytes each, in `folder` ("" for the PC folder itself).
    QList<PcSource> FiveFiles(const QString& folder) {
        QList<PcSource> files;
        for (char n = '1'; n <= '5'; ++n) {
            const QString name = QStringLiteral("F%1.DAT").arg(n);
            WritePc(folder.isEmpty() ? name : folder + "/" + name, QByteArray(3000, n));
            files << File(name);
        }
        return folder.isEmpty() ? files : QList<PcSource>{Folder(folder)};
    }
};

TEST(TerminalPathsTest, TheFolderCopyTakesOnlyTheShortFileShape) {
    const std::pair<const char*, bool> names[] = {
        {"A.TXT", true},  {"ABCDEFGH.TXT", true}, {"ABCDEFGHI.TXT", false},
        {"NOEXT", false}, {"A.TEXT", false},      {"Notes2021.txt", false},
        {"A.", true},     {"A.B.C", true},        {"ABCDEFGH.TX", true},
    };
    for (const auto& [name, sent] : names) EXPECT_EQ(IsShortFileName(name), sent) << name;
}

struct FilePaste {
    const char* name;
    const char* target;
    const char* landsAt;  // bench path, or null when the terminal refuses it
    const char* destination;
    QStringList messages;
};

void PrintTo(const FilePaste& value, std::ostream* out) {
    *out << value.destination;
}

class PasteFileTest : public PasteTest, public ::testing::WithParamInterface<FilePaste> {};

TEST_P(PasteFileTest, SendsTheFileUnderItsOwnNameAndListsTheFolderAfterAPause) {
    const FilePaste& row = GetParam();
    MakeBenchFolder("C/DATA");
    WritePc(row.name, "data");

    const TerminalPasteResult result = Paste({File(row.name)}, row.target);

    EXPECT_TRUE(result.reached);
    QStringList messages;
    for (const QString& message : row.messages)
        messages << (message.contains("%1") ? message.arg(pc.path()) : message);
    EXPECT_EQ(prompter.messages, messages);
    EXPECT_EQ(AnnouncedDestinations(),
              row.destination ? QStringList{row.destination} : QStringList());
    EXPECT_TRUE(PcExists(row.name));
    EXPECT_EQ(result.stop, kSuccess);
    EXPECT_EQ(clock.pauses, std::vector<int>{500});
    // Written by the operation itself, so the window and the command line write the same.
    EXPECT_EQ(Journaled(), QStringList{QStringLiteral("10000042|COM3|put|%1 %2|%3|%4")
                                           .arg(Pc(row.name), row.target, row.landsAt ? "ok" : "failed",
                                                messages.join(" / ").replace('\n', ' '))});
    if (row.landsAt) {
        EXPECT_EQ(ReadTerminal(row.landsAt), "data");
        EXPECT_EQ(progress.finishedBytes, QList<qint64>{4});
    } else {
        EXPECT_TRUE(TerminalFiles().isEmpty());
        EXPECT_TRUE(progress.finishedBytes.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PasteFileTest,
    ::testing::Values(
        FilePaste{"X.TXT", "C:\\", "C/X.TXT", "C:\\X.TXT", {}},
        FilePaste{"X.TXT", "C:\\DATA", "C/DATA/X.TXT", "C:\\DATA\\X.TXT", {}},
        // A name the terminal cannot hold stays on the PC, and the user reads which.
        FilePaste{"Notes2021.txt", "C:\\", nullptr, nullptr,
                  {"These names cannot be used on a terminal and stay on the PC:\n"
                   "%1/Notes2021.txt"}}));

struct Overwrite {
    bool copy;
    bool answer;
    QStringList removed;  // relative to the PC folder
};

void PrintTo(const Overwrite& value, std::ostream* out) {
    *out << (value.copy ? "copy" : "move") << (value.answer ? " Yes" : " No");
}

class OverwriteTest : public PasteTest, public ::testing::WithParamInterface<Overwrite> {};

TEST_P(OverwriteTest, AsksAboutTheTerminalFileAndGoesOnWithTheNextItemEitherWay) {
    const Overwrite& row = GetParam();
    bench.WriteFile(kTerminal, "C/DATA/X.TXT", "old");
    WritePc("X.TXT", "new");
    WritePc("Y.TXT", "next");
    prompter.AnswerQuestions({row.answer});

    const TerminalPasteResult result = Paste({File("X.TXT"), File("Y.TXT")}, "C:\\DATA", row.copy);

    EXPECT_EQ(prompter.questions, QStringList{"C:\\DATA\\X.TXT exist, Overwrite?"});
    const QStringList refusal{QStringLiteral("%1 %2 to C:\\DATA\\X.TXT fail")
                                  .arg(row.copy ? "Copy" : "Move", Pc("X.TXT"))};
    EXPECT_EQ(prompter.messages, row.answer ? QStringList() : refusal);
    EXPECT_EQ(prompter.captions, QStringList(prompter.captions.size(), "Tarvik"));
    EXPECT_EQ(ReadTerminal("C/DATA/X.TXT"), row.answer ? "new" : "old");
    EXPECT_EQ(ReadTerminal("C/DATA/Y.TXT"), "next");
    QStringList removed;
    for (const QString& relative : row.removed) removed << Pc(relative);
    EXPECT_EQ(result.removedFromPc, removed);
    EXPECT_EQ(PcExists("X.TXT"), !row.removed.contains("X.TXT"));
    EXPECT_EQ(PcExists("Y.TXT"), !row.removed.contains("Y.TXT"));
    EXPECT_EQ(clock.pauses, std::vector<int>{500});
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwriteTest,
                         ::testing::Values(Overwrite{true, true, {}}, Overwrite{true, false, {}},
                                           Overwrite{false, true, {"X.TXT", "Y.TXT"}},
                                           Overwrite{false, false, {"Y.TXT"}}));

TEST_F(PasteTest, AFolderHoldingTheNameIsNotAskedAboutTwice) {
    MakeBenchFolder("C/X.TXT");
    WritePc("X.TXT", "new");
    WritePc("Y.TXT", "next");
    prompter.AnswerQuestions({true});

    const TerminalPasteResult result = Paste({File("X.TXT"), File("Y.TXT")}, "C:\\", false);

    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_EQ(prompter.messages, QStringList{"The file already exist."});
    EXPECT_EQ(result.stop, kFileAlreadyExists);
    EXPECT_TRUE(result.removedFromPc.isEmpty());
    EXPECT_FALSE(ReadTerminal("C/Y.TXT"));
    EXPECT_TRUE(PcExists("X.TXT"));
}

TEST_F(PasteTest, AnUnreachableTerminalTakesNothing) {
    settings.portName = "COM9";
    WritePc("X.TXT", "data");

    const TerminalPasteResult result = Paste({File("X.TXT")}, "C:\\", false);

    EXPECT_FALSE(result.reached);
    EXPECT_EQ(prompter.messages, QStringList{"Device is Off-line!"});
    EXPECT_TRUE(progress.announced.isEmpty());
    EXPECT_TRUE(clock.pauses.empty());
    EXPECT_TRUE(PcExists("X.TXT"));
}

TEST_F(PasteTest, APipeIsRefusedWithoutTheTerminalWaitingOnIt) {
    ASSERT_EQ(::mkfifo(Pc("P.TXT").toLocal8Bit().constData(), 0600), 0);

    const TerminalPasteResult result = Paste({File("P.TXT")}, "C:\\", false);

    EXPECT_EQ(prompter.messages, QStringList{"Open file fail!"});
    EXPECT_EQ(result.stop, 2804);
    EXPECT_TRUE(PcExists("P.TXT"));
    EXPECT_TRUE(TerminalFiles().isEmpty());
}

class UndeletableSourceTest : public PasteTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UndeletableSourceTest, AMoveWhoseSourceCannotGoSaysSoAndKeepsBothCopies) {
    const bool inFolder = GetParam();
    const QString folder = inFolder ? "WORK/" : "";
    WritePc(folder + "A.TXT", "a");
    WritePc(folder + "B.TXT", "b");
    ScriptedFileSystem files;
    files.Fail(ScriptedFileSystem::Operation::DeleteFile, "A.TXT", kPcAccessDenied);
    const QList<PcSource> sources =
        inFolder ? QList<PcSource>{Folder("WORK")} : QList<PcSource>{File("A.TXT"), File("B.TXT")};

    const TerminalPasteResult result =
        PasteToTerminal(MakeServices(files), settings, sources, "C:\\", false);

    const QString terminalPath = inFolder ? "C:\\WORK\\A.TXT" : "C:\\A.TXT";
    EXPECT_EQ(
        prompter.messages,
        QStringList{QStringLiteral("Move %1 to %2 fail").arg(Pc(folder + "A.TXT"), terminalPath)});
    EXPECT_TRUE(PcExists(folder + "A.TXT"));
    EXPECT_EQ(ReadTerminal(inFolder ? "C/WORK/A.TXT" : "C/A.TXT"), "a");
    // Single items go on with the next; inside a folder the rest of it waits.
    EXPECT_EQ(PcExists(folder + "B.TXT"), inFolder);
    EXPECT_EQ(result.removedFromPc, inFolder ? QStringList() : QStringList{Pc("B.TXT")});
    ExpectNothingLost("C");
}

INSTANTIATE_TEST_SUITE_P(SingleOrInFolder, UndeletableSourceTest, ::testing::Bool());

struct FolderCopy {
    const char* target;
    QStringList landed;  // bench paths, in the order they were sent
    QStringList messages;
};

void PrintTo(const FolderCopy& value, std::ostream* out) {
    *out << value.target;
}

class FolderCopyTest : public PasteTest, public ::testing::WithParamInterface<FolderCopy> {};

TEST_P(FolderCopyTest, SendsShortNamesTwoLevelsDeepAndLeavesThePcAlone) {
    const FolderCopy& row = GetParam();
    MakeBenchFolder("C/DATA/DEEP");
    for (const char* name : {"WORK/A.TXT", "WORK/B.DAT", "WORK/SUB/C.TXT", "WORK/Notes2021.txt",
                             "WORK/NOEXT", "WORK/LONGEXT.TEXT", "WORK/.HID.TXT", "ELSE/E.TXT"}) {
        WritePc(name, name);
    }
    ASSERT_EQ(::mkfifo(Pc("WORK/PIPE.TXT").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(Pc("ELSE"), Pc("WORK/LINK")));

    const TerminalPasteResult result = Paste({Folder("WORK")}, row.target);

    QStringList expected = row.landed;
    expected.sort();
    EXPECT_EQ(TerminalFiles(), expected);
    QStringList destinations;
    for (QString path : row.landed) destinations << path.replace(0, 1, "C:").replace('/', '\\');
    EXPECT_EQ(AnnouncedDestinations(), destinations);
    QStringList messages;
    for (const QString& message : row.messages)
        messages << (message.contains("%1") ? message.arg(pc.path()) : message);
    EXPECT_EQ(prompter.messages, messages);
    EXPECT_EQ(result.stop, kSuccess);
    EXPECT_EQ(clock.pauses, std::vector<int>{500});
    ExpectNothingLost(BenchPath(row.target));
    EXPECT_TRUE(QFileInfo::exists(Pc("WORK/PIPE.TXT")));
}

// What stays on the PC is told once, after the walk; %1 is the PC folder of the test.
const QString kWorkSkipped =
    "These names cannot be used on a terminal and stay on the PC:\n%1/WORK/LONGEXT.TEXT\n"
    "%1/WORK/NOEXT\n%1/WORK/Notes2021.txt\n"
    "1 symbolic link(s) were not sent: a terminal has no links.";

INSTANTIATE_TEST_SUITE_P(
    Targets, FolderCopyTest,
    ::testing::Values(FolderCopy{"C:\\",
                                 {"C/WORK/A.TXT", "C/WORK/B.DAT", "C/WORK/SUB/C.TXT"},
                                 {kWorkSkipped}},
                      // WORK's sub-folder would be a third level.
                      FolderCopy{"C:\\DATA",
                                 {"C/DATA/WORK/A.TXT", "C/DATA/WORK/B.DAT"},
                                 {"Device can't create folder over 2 level", kWorkSkipped}},
                      FolderCopy{
                          "C:\\DATA\\DEEP", {}, {"Device can't create folder over 2 level"}}));

TEST_F(PasteTest, ALinkSendsNothingAndStaysWithWhatItNames) {
    WritePc("IMPORTANT/A.TXT", "a");
    WritePc("NOTE.TXT", "n");
    ASSERT_TRUE(QFile::link(Pc("IMPORTANT"), Pc("SHARED")));
    ASSERT_TRUE(QFile::link(Pc("NOTE.TXT"), Pc("LINK.TXT")));

    for (const bool copy : {true, false}) {
        prompter.messages.clear();
        const TerminalPasteResult result =
            Paste({Folder("SHARED"), File("LINK.TXT")}, "C:\\", copy);

        EXPECT_TRUE(TerminalFiles().isEmpty());
        EXPECT_TRUE(result.removedFromPc.isEmpty());
        EXPECT_EQ(prompter.messages,
                  QStringList{"2 symbolic link(s) were not sent: a terminal has no links."});
    }
    EXPECT_TRUE(QFileInfo(Pc("SHARED")).isSymLink() && QFileInfo(Pc("LINK.TXT")).isSymLink());
    EXPECT_EQ(QDir(Pc("IMPORTANT")).entryList(QDir::Files), QStringList{"A.TXT"});
}

TEST_F(PasteTest, AFolderThatIsThereAlreadyIsCopiedInto) {
    bench.WriteFile(kTerminal, "C/WORK/OLD.TXT", "old");
    WritePc("WORK/A.TXT", "a");

    Paste({Folder("WORK")}, "C:\\");

    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(TerminalFiles(), (QStringList{"C/WORK/A.TXT", "C/WORK/OLD.TXT"}));
}

struct FolderMove {
    const char* name;
    std::vector<std::pair<const char*, const char*>> files;  // PC path, content
    QStringList emptyFolders;
    const char* target;
    QStringList removed;  // relative PC paths, in the order they went
    QStringList messages;
};

void PrintTo(const FolderMove& value, std::ostream* out) {
    *out << value.name;
}

class FolderMoveTest : public PasteTest, public ::testing::WithParamInterface<FolderMove> {};

TEST_P(FolderMoveTest, TakesFromThePcOnlyWhatTheTerminalHolds) {
    const FolderMove& row = GetParam();
    MakeBenchFolder("C/DATA");
    for (const auto& [path, content] : row.files) WritePc(path, content);
    for (const QString& folder : row.emptyFolders) QDir().mkpath(Pc(folder));

    const TerminalPasteResult result = Paste({Folder("WORK")}, row.target, false);

    QStringList removed;
    for (const QString& relative : row.removed) removed << Pc(relative);
    EXPECT_EQ(result.removedFromPc, removed);
    QStringList messages;
    for (const QString& message : row.messages)
        messages << (message.contains("%1") ? message.arg(pc.path()) : message);
    EXPECT_EQ(prompter.messages, messages);
    for (const QString& gone : removed) EXPECT_FALSE(QFileInfo::exists(gone)) << gone.toStdString();
    EXPECT_EQ(PcExists("WORK"), !row.removed.contains("WORK"));
    for (const QString& folder : row.emptyFolders) {
        EXPECT_EQ(PcExists(folder), !row.removed.contains(folder)) << folder.toStdString();
    }
    ExpectNothingLost(BenchPath(row.target));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, FolderMoveTest,
    ::testing::Values(FolderMove{"Everything",
                                 {{"WORK/A.TXT", "a"}, {"WORK/SUB/C.TXT", "c"}},
                                 {},
                                 "C:\\",
                                 // The folder itself stays, emptied.
                                 {"WORK/A.TXT", "WORK/SUB/C.TXT", "WORK/SUB"},
                                 {}},
                      FolderMove{
                          "HiddenAndLongNamesKeepTheFolder",
                          {{"WORK/A.TXT", "a"}, {"WORK/.KEEP", "k"}, {"WORK/Notes2021.txt", "n"}},
                          {},
                          "C:\\",
                          {"WORK/A.TXT"},
                          {"These names cannot be used on a terminal and stay on the PC:\n"
                           "%1/WORK/Notes2021.txt"}},
                      // A "\\" in a PC name would make it a terminal sub-path.
                      FolderMove{"ABackslashInANameStaysOnThePc",
                                 {{"WORK/SUB/A.TXT", "sub"}, {"WORK/SUB\\A.TXT", "name"}},
                                 {},
                                 "C:\\",
                                 {"WORK/SUB/A.TXT", "WORK/SUB"},
                                 {"These names cannot be used on a terminal and stay on the PC:\n"
                                  "%1/WORK/SUB\\A.TXT"}},
                      FolderMove{"AnEmptySubFolderThatReachedTheTerminalGoes",
                                 {{"WORK/A.TXT", "a"}},
                                 {"WORK/EMPTY"},
                                 "C:\\",
                                 {"WORK/A.TXT", "WORK/EMPTY"},
                                 {}},
                      FolderMove{"ARefusedSubFolderStaysEvenEmpty",
                                 {{"WORK/A.TXT", "a"}},
                                 {"WORK/EMPTY"},
                                 "C:\\DATA",
                                 {"WORK/A.TXT"},
                                 {"Device can't create folder over 2 level"}},
                      // The terminal tells no case apart: the second would replace the first.
                      FolderMove{"NamesThatDifferOnlyInCase",
                                 {{"WORK/a.txt", "one"}, {"WORK/A.TXT", "two"}},
                                 {},
                                 "C:\\",
                                 {"WORK/A.TXT"},
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A fault in the middle of five files of 3000 bytes, at the third.
struct Fault {
    const char* name;
    std::string drives;
    std::function<void(PasteTest&)> beforeThirdFile;
    std::function<void(PasteTest&)> prepare;
    QStringList messages;
    ResultCode stopSingle;  // the code that ends a paste of single files
    ResultCode stopFolder;  // the same in a folder, where a failure ends only that folder
};

void PrintTo(const Fault& value, std::ostream* out) {
    *out << value.name;
}

class FaultTest : public PasteTest,
                  public ::testing::WithParamInterface<std::tuple<Fault, bool, bool>> {};

TEST_P(FaultTest, NothingIsHalfWrittenAndNoSourceGoesWithoutAWholeCopy) {
    const auto& [fault, inFolder, copy] = GetParam();
    SetTerminal(fault.drives);
    const QList<PcSource> sources = FiveFiles(inFolder ? "WORK" : "");
    if (fault.prepare) fault.prepare(*this);
    progress.onBefore = [&, fault = fault](int count) {
        if (count == 3 && fault.beforeThirdFile) fault.beforeThirdFile(*this);
        return true;
    };

    const TerminalPasteResult result = Paste(sources, "C:\\", copy);

    const ResultCode stop = inFolder ? fault.stopFolder : fault.stopSingle;
    EXPECT_EQ(prompter.messages, fault.messages);
    EXPECT_EQ(result.stop, stop);
    EXPECT_EQ(clock.pauses, stop == kSuccess ? std::vector<int>{500} : std::vector<int>{});
    EXPECT_EQ(progress.announced.size(), 3) << "the walk went past the fault";
    const QString folder = inFolder ? "WORK/" : "";
    QStringList sent;
    for (const QString& file : TerminalFiles()) sent << file.section('/', -1);
    EXPECT_EQ(sent, (QStringList{"F1.DAT", "F2.DAT"}));
    QStringList removed;
    if (!copy) removed << Pc(folder + "F1.DAT") << Pc(folder + "F2.DAT");
    EXPECT_EQ(result.removedFromPc, removed);
    EXPECT_TRUE(PcExists(folder + "F4.DAT"));
    if (inFolder) {
        EXPECT_TRUE(PcExists("WORK"));
    }
    ExpectNothingLost("C");
}

const Fault kFaults[] = {
    {"TerminalFull", "C:8", {}, {}, {"The disk have not enough space!"}, 2619, kSuccess},
    {"TerminalPulledOut",
     "C:2048",
     [](PasteTest& test) {
         // Kept aside, not deleted, so that what reached it can still be checked.
         const QString aside = test.bench.Path() + "/unplugged";
         ASSERT_TRUE(QDir().rename(test.terminalFolder, aside));
         test.terminalFolder = aside;
     },
     {},
     {"Invalid port handle!"},
     2802,
     kSuccess},
    {"TerminalSwitchedOff",
     "C:2048",
     [](PasteTest& test) { test.SetTerminal("C:2048", true); },
     {},
     {"Transmission timeout!"},
     2509,
     kSuccess},
    {"PcFileVanished",
     "C:2048",
     [](PasteTest& test) {
         const QString relative = test.originals.count("WORK/F3.DAT") ? "WORK/F3.DAT" : "F3.DAT";
         ASSERT_TRUE(QFile::remove(test.Pc(relative)));
         test.vanished << relative;
     },
     {},
     {"Open file fail!"},
     2804,
     kSuccess},
    {"PcFileUnreadable",
     "C:2048",
     [](PasteTest& test) {
         // Reading the process's own memory at address 0 fails, even for root. Swapped in
         // after the listing, since a listed link is never sent.
         const QString relative = test.originals.count("WORK/F3.DAT") ? "WORK/F3.DAT" : "F3.DAT";
         ASSERT_TRUE(QFile::remove(test.Pc(relative)));
         ASSERT_TRUE(QFile::link("/proc/self/mem", test.Pc(relative)));
         test.originals.erase(relative);
     },
     {},
     {"Open file fail!"},
     2804,
     kSuccess},
};

INSTANTIATE_TEST_SUITE_P(Matrix, FaultTest,
                         ::testing::Combine(::testing::ValuesIn(kFaults), ::testing::Bool(),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "InAFolder" : "AsSingleFiles") +
                                    (std::get<2>(info.param) ? "Copied" : "Moved");
                         });

struct Cancel {
    bool copy;
    int cancelAt;  // the file whose announcement is answered "stop"
};

void PrintTo(const Cancel& value, std::ostream* out) {
    *out << (value.copy ? "copy" : "move") << " stopped at " << value.cancelAt;
}

class CancelTest : public PasteTest, public ::testing::WithParamInterface<Cancel> {};

TEST_P(CancelTest, StopsBeforeTheNextFileWithEveryFileWholeOrAbsent) {
    const Cancel& row = GetParam();
    FiveFiles("WORK");
    WritePc("WORK/SUB/G1.DAT", QByteArray(3000, 'g'));
    progress.onBefore = [&](int count) { return count < row.cancelAt; };

    const TerminalPasteResult result = Paste({Folder("WORK")}, "C:\\", row.copy);

    const int sent = row.cancelAt - 1;
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.stop, kSuccess);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(progress.announced.size(), row.cancelAt);
    EXPECT_EQ(progress.finishedBytes, QList<qint64>(sent, 3000));
    EXPECT_EQ(TerminalFiles().size(), sent);
    EXPECT_EQ(clock.pauses, std::vector<int>{500});
    EXPECT_EQ(result.removedFromPc.size(), row.copy ? 0 : sent);
    EXPECT_TRUE(PcExists("WORK/SUB/G1.DAT"));
    EXPECT_TRUE(PcExists("WORK"));
    ExpectNothingLost("C");
    EXPECT_EQ(Journaled(), QStringList{QStringLiteral("10000042|COM3|put|%1 C:\\|failed|Cancelled by the user.")
                                           .arg(Pc("WORK"))});
}

INSTANTIATE_TEST_SUITE_P(Points, CancelTest,
                         ::testing::Values(Cancel{false, 1}, Cancel{true, 3}, Cancel{false, 3},
                                           Cancel{false, 6}));

}  // namespace

namespace {

struct Deletion {
    const char* path;
    const char* benchPath;  // null for an item that is not there
    bool folder;
    const char* port;
    bool deleted;
    QStringList messages;
};

void PrintTo(const Deletion& value, std::ostream* out) {
    *out << value.path;
}

class DeleteTest : public TerminalOperationFixture,
                   public ::testing::WithParamInterface<Deletion> {};

TEST_P(DeleteTest, DeletesAFileOrAnEmptyFolderAndPointsAtARefusalFirst) {
    const Deletion& row = GetParam();
    bench.WriteFile(kTerminal, "C/X.TXT", "x");
    bench.WriteFile(kTerminal, "C/FULL/Y.TXT", "y");
    for (const char* folder : {"C/EMPTY", "C/DATA", "D/PROGRAM"}) MakeBenchFolder(folder);
    settings.portName = row.port;
    qsizetype messagesWhenPointed = -1;

    const bool deleted = DeleteOnTerminal(MakeServices(), settings, row.path, row.folder,
                                          [&] { messagesWhenPointed = prompter.messages.size(); });

    EXPECT_EQ(deleted, row.deleted);
    EXPECT_EQ(prompter.messages, row.messages);
    EXPECT_EQ(Journaled(), QStringList{QStringLiteral("10000042|%1|rm|%2|%3|%4")
                                           .arg(row.port, row.path, row.deleted ? "ok" : "failed",
                                                row.messages.join(""))});
    const bool refused = !row.deleted && row.messages != QStringList{"Device is Off-line!"};
    EXPECT_EQ(messagesWhenPointed, refused ? 0 : -1);
    if (row.benchPath) {
        EXPECT_EQ(QFileInfo::exists(OnTerminal(row.benchPath)), !row.deleted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, DeleteTest,
    ::testing::Values(
        Deletion{"C:\\X.TXT", "C/X.TXT", false, "COM3", true, {}},
        Deletion{"C:\\EMPTY", "C/EMPTY", true, "COM3", true, {}},
        Deletion{"C:\\FULL", "C/FULL", true, "COM3", false, {"Delete folder fail!"}},
        Deletion{"C:\\GONE.TXT", nullptr, false, "COM3", false, {"The file does not exist."}},
        // Folders the terminal's programs need stay, even when a click chose them.
        Deletion{"C:\\DATA", "C/DATA", true, "COM3", false, {"Delete folder fail!"}},
        Deletion{"d:\\program", "D/PROGRAM", true, "COM3", false, {"Delete folder fail!"}},
        Deletion{"C:\\X.TXT", "C/X.TXT", false, "COM9", false, {"Device is Off-line!"}}));

struct NewFolder {
    const char* parent;
    const char* name;
    const char* port;
    const char* made;  // bench path, or null
    QStringList messages;
};

void PrintTo(const NewFolder& value, std::ostream* out) {
    *out << value.parent << " " << value.name;
}

class NewFolderTest : public TerminalOperationFixture,
                      public ::testing::WithParamInterface<NewFolder> {};

TEST_P(NewFolderTest, MakesTheFolderUnderItsParentOrSaysWhyNot) {
    const NewFolder& row = GetParam();
    MakeBenchFolder("C/DATA");
    settings.portName = row.port;

    const bool made = MakeTerminalFolder(MakeServices(), settings, row.parent, row.name);

    EXPECT_EQ(made, row.made != nullptr);
    EXPECT_EQ(prompter.messages, row.messages);
    if (row.made) {
        EXPECT_TRUE(QFileInfo(OnTerminal(row.made)).isDir());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, NewFolderTest,
    ::testing::Values(NewFolder{"C:\\", "NEW", "COM3", "C/NEW", {}},
                      NewFolder{"C:\\DATA", "SUB", "COM3", "C/DATA/SUB", {}},
                      NewFolder{"C:\\", "DATA", "COM3", nullptr, {"Create folder fail!"}},
                      NewFolder{"C:\\", "NEW", "COM9", nullptr, {"Device is Off-line!"}}));

struct Format {
    const char* port;
    std::string fail;
    bool done;
    QStringList messages;
};

void PrintTo(const Format& value, std::ostream* out) {
    *out << value.messages.join("").toStdString();
}

class FormatTest : public TerminalOperationFixture, public ::testing::WithParamInterface<Format> {};

TEST_P(FormatTest, EmptiesTheDriveAndTellsOnlyAfterItIsListedAgain) {
    const Format& row = GetParam();
    bench.Add({.folder = kTerminal, .port = "COM3", .drives = "C:2048 D:4096", .fail = row.fail});
    bench.WriteFile(kTerminal, "C/DATA/X.TXT", "x");
    bench.WriteFile(kTerminal, "D/KEEP.TXT", "k");
    settings.portName = row.port;
    qsizetype messagesWhenListed = -1;

    const bool done = FormatTerminalDrive(MakeServices(), settings, "C:\\",
                                          [&] { messagesWhenListed = prompter.messages.size(); });

    EXPECT_EQ(done, row.done);
    EXPECT_EQ(prompter.messages, row.messages);
    // The done message comes after the line, which it must not turn into a failure.
    EXPECT_EQ(Journaled(), QStringList{QStringLiteral("10000042|%1|format|C:\\|%2")
                                           .arg(row.port, row.done ? "ok|" : "failed|" + row.messages.join(""))});
    EXPECT_EQ(messagesWhenListed, row.done ? 0 : -1);
    EXPECT_EQ(clock.pauses, row.done ? std::vector<int>{100} : std::vector<int>{});
    EXPECT_EQ(TerminalFiles(),
              row.done ? QStringList{"D/KEEP.TXT"} : (QStringList{"C/DATA/X.TXT", "D/KEEP.TXT"}));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FormatTest,
    ::testing::Values(Format{"COM3", "", true, {"Format Disk C:\\ done."}},
                      Format{"COM3", "TpFormatDisk:2620", false, {"Disk format fail!"}},
                      Format{"COM9", "", false, {"Device is Off-line!"}}));

}  // namespace
