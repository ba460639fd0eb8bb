#include "pc/PcFolderPaste.h"

#include "core/ItemKind.h"
#include "link/DirectoryListing.h"
#include "pc/PcOperationsFixture.h"
#include "support/MockTerminalLibrary.h"

#include <cstring>

using ::testing::NiceMock;
using ::testing::Return;

namespace {

using Op = ScriptedFileSystem::Operation;

const QString kDenied = "Action denied. You may have no right.";

class PcPasteTest : public PcOperationsTest {
protected:
    PcPasteTest() { QDir().mkpath(Pc("T")); }

    PcPasteResult Paste(const QList<PathAndKind>& sources, bool copy, bool fromTerminal) {
        return fromTerminal ? PasteTerminalIntoPcFolder(services, settings, sources, Pc("T"), copy)
                            : PasteIntoPcFolder(services, sources, Pc("T"), copy);
    }
    PathAndKind PcItem(const QString& relative, int kind = kKindFile) {
        return {Pc(relative), kind};
    }
    // The same four files in S/WORK on the PC (with a hidden one) or in C:\DATA on the
    // terminal; answers the folder's own path and its place in T.
    QString MakeFolder(bool onTerminal, bool withHidden = true) {
        for (const auto& [name, content] : {std::pair{"A.DAT", "alpha"},
                                            {"B.DAT", "bravo"},
                                            {"C.DAT", "charlie"},
                                            {"SUB/D.DAT", "delta"}}) {
            if (onTerminal) {
                WriteTerminal(std::string("C/DATA/") + name, content);
            } else {
                WritePc(QString("S/WORK/") + name, content);
            }
        }
        if (!onTerminal && withHidden) WritePc("S/WORK/.keep", "hidden");
        return onTerminal ? TerminalFolder("C/DATA") : Pc("S/WORK");
    }
    QList<PathAndKind> Folder(bool onTerminal) {
        return {onTerminal ? PathAndKind{"C:\\DATA", kKindFolder} : PcItem("S/WORK", kKindFolder)};
    }
    QString Dest(bool onTerminal) { return Pc(onTerminal ? "T/DATA" : "T/WORK"); }
};

constexpr char kWork[] = "A.DAT=alpha B.DAT=bravo C.DAT=charlie SUB/ SUB/D.DAT=delta";

TEST_F(PcPasteTest, ACopyTakesFilesAndFoldersButNoHiddenEntryAndLeavesTheSource) {
    MakeFolder(false);
    WritePc("S/NOTE.TXT", "note");
    const QString source = Listing(Pc("S"));

    const PcPasteResult result =
        Paste({PcItem("S/NOTE.TXT"), PcItem("S/WORK", kKindFolder)}, true, false);

    EXPECT_EQ(Listing(Pc("T")),
              "NOTE.TXT=note WORK/ WORK/A.DAT=alpha WORK/B.DAT=bravo "
              "WORK/C.DAT=charlie WORK/SUB/ WORK/SUB/D.DAT=delta");
    EXPECT_EQ(Listing(Pc("S")), source);
    EXPECT_TRUE(result.gone.isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty() && prompter.questions.isEmpty());
    EXPECT_EQ(progress.after, (QList<qint64>{4, 5, 5, 7, 5}));
    EXPECT_EQ(progress.before.size(), progress.after.size());
}

TEST_F(PcPasteTest, AFolderMovesInOneStepOnOneVolumeHiddenEntriesIncluded) {
    MakeFolder(false);

    const PcPasteResult result = Paste(Folder(false), false, false);

    EXPECT_EQ(result.gone, QStringList{Pc("S/WORK")});
    EXPECT_EQ(Listing(Pc("S")), "");
    EXPECT_EQ(Listing(Pc("T/WORK")), QString(".keep=hidden ") + kWork);
}

class MergingMoveTest : public PcPasteTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MergingMoveTest, TakesEveryVisibleEntryAndKeepsTheSourceOnlyWhenAnythingStayed) {
    const bool withHidden = GetParam();
    MakeFolder(false, withHidden);
    QDir().mkpath(Pc("T/WORK"));  // the move merges, file by file

    const PcPasteResult result = Paste(Folder(false), false, false);

    EXPECT_EQ(Listing(Pc("T/WORK")), kWork);
    EXPECT_EQ(Listing(Pc("S")), withHidden ? "WORK/ WORK/.keep=hidden" : "");
    EXPECT_EQ(result.gone, withHidden ? QStringList{} : QStringList{Pc("S/WORK")});
    EXPECT_EQ(result.changed, withHidden ? QStringList{Pc("S/WORK")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(, MergingMoveTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Hidden" : "Plain"; });

TEST_F(PcPasteTest, AMergingMoveNeverReplacesAndStopsThatFolderThere) {
    MakeFolder(false);
    WritePc("T/WORK/B.DAT", "older");

    const PcPasteResult result = Paste(Folder(false), false, false);

    EXPECT_EQ(Listing(Pc("T/WORK")), "A.DAT=alpha B.DAT=older");
    EXPECT_EQ(Listing(Pc("S/WORK")), ".keep=hidden B.DAT=bravo C.DAT=charlie SUB/ SUB/D.DAT=delta");
    EXPECT_EQ(prompter.messages,
              QStringList{"Move " + Pc("S/WORK/B.DAT") + " to " + Pc("T/WORK/B.DAT") +
                          " fail\nSame file name already exists!"});
    EXPECT_EQ(result.changed, QStringList{Pc("S/WORK")});
}

TEST_F(PcPasteTest, AFolderCopyMergesAndReplacesWithoutAsking) {
    MakeFolder(false);
    WritePc("T/WORK/A.DAT", "older");
    WritePc("T/WORK/OWN.DAT", "own");

    Paste(Folder(false), true, false);

    EXPECT_EQ(Listing(Pc("T/WORK")),
              "A.DAT=alpha B.DAT=bravo C.DAT=charlie OWN.DAT=own SUB/ SUB/D.DAT=delta");
    EXPECT_TRUE(prompter.questions.isEmpty());
}

struct OverwriteCase {
    const char* name;
    bool fromTerminal;
    bool copy;
    bool yes;
};
void PrintTo(const OverwriteCase& c, std::ostream* out) {
    *out << c.name;
}

class OverwriteTest : public PcPasteTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, AnExistingFileIsReplacedOnlyAfterYes) {
    const OverwriteCase& c = GetParam();
    if (c.fromTerminal) {
        WriteTerminal("C/X.TXT", "new");
    } else {
        WritePc("S/X.TXT", "new");
    }
    WritePc("T/X.TXT", "old");
    prompter.AnswerQuestions({c.yes});

    const PcPasteResult result =
        Paste({c.fromTerminal ? PathAndKind{"C:\\X.TXT", kKindFile} : PcItem("S/X.TXT")}, c.copy,
              c.fromTerminal);

    EXPECT_EQ(prompter.questions, QStringList{Pc("T/X.TXT") + " exist, Overwrite?"});
    EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
    // Nothing else stays beside it: no temporary file, no backup.
    EXPECT_EQ(Listing(Pc("T")), c.yes ? "X.TXT=new" : "X.TXT=old");
    const bool moved = c.yes && !c.copy;
    EXPECT_EQ(c.fromTerminal ? ExistsOnTerminal("C/X.TXT") : ExistsPc("S/X.TXT"), !moved);
    EXPECT_EQ(result.gone.size(), moved ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(, OverwriteTest,
                         ::testing::Values(OverwriteCase{"PcCopyYes", false, true, true},
                                           OverwriteCase{"PcCopyNo", false, true, false},
                                           OverwriteCase{"PcMoveYes", false, false, true},
                                           OverwriteCase{"PcMoveNo", false, false, false},
                                           OverwriteCase{"TerminalCopyYes", true, true, true},
                                           OverwriteCase{"TerminalCopyNo", true, true, false},
                                           OverwriteCase{"TerminalMoveYes", true, false, true},
                                           OverwriteCase{"TerminalMoveNo", true, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PcPasteTest, AReplacingMoveThatFailsPutsTheOldFileBack) {
    WritePc("S/X.TXT", "new");
    WritePc("T/X.TXT", "old");
    prompter.AnswerQuestions({true});
    files.Fail(Op::MoveFile, Pc("S/X.TXT"), kPcAccessDenied);

    const PcPasteResult result = Paste({PcItem("S/X.TXT")}, false, false);

    EXPECT_EQ(Listing(Pc("T")), "X.TXT=old");
    EXPECT_EQ(Listing(Pc("S")), "X.TXT=new");
    EXPECT_EQ(prompter.messages, QStringList{kDenied});
    EXPECT_TRUE(result.gone.isEmpty());
}

TEST_F(PcPasteTest, ItemsAlreadyThereAndItemsInsideASelectedFolderAreNotPastedAgain) {
    WritePc("T/X.TXT", "x");
    WritePc("T/SUB/Y.TXT", "y");
    MakeFolder(false);
    for (bool copy : {true, false}) {
        Paste({PcItem("T/X.TXT"), PcItem("T/SUB", kKindFolder)}, copy, false);
    }
    EXPECT_EQ(Listing(Pc("T")), "SUB/ SUB/Y.TXT=y X.TXT=x");

    Paste({PcItem("S/WORK", kKindFolder), PcItem("S/WORK/A.DAT")}, false, false);

    EXPECT_FALSE(ExistsPc("T/A.DAT"));
    EXPECT_TRUE(prompter.messages.isEmpty() && prompter.questions.isEmpty());
}

TEST_F(PcPasteTest, AFolderIsNeverPastedIntoItselfOrItsOwnSubFolder) {
    WritePc("W/IN/B.TXT", "b");
    for (bool copy : {true, false}) {
        for (const char* target : {"W", "W/IN"}) {
            PasteIntoPcFolder(services, {PcItem("W", kKindFolder)}, Pc(target), copy);
        }
    }
    EXPECT_EQ(Listing(Pc("W")), "IN/ IN/B.TXT=b");
    // Onto itself is a jitter of the mouse; only its own sub-folder is worth a word.
    EXPECT_EQ(prompter.messages,
              QStringList(2, Pc("W") + " cannot be pasted into itself or a folder inside it!"));
}

TEST_F(PcPasteTest, AFolderCopyNeverWalksIntoTheCopyItMakesThroughALink) {
    WritePc("W/A.TXT", "a");
    QDir().mkpath(Pc("W/IN"));
    // The same folder by another name: no path test can see that it lies inside W.
    ASSERT_TRUE(QFile::link(Pc("W/IN"), Pc("ALIAS")));

    PasteIntoPcFolder(services, {PcItem("W", kKindFolder)}, Pc("ALIAS"), true);

    EXPECT_EQ(Listing(Pc("W/IN")), "W/ W/A.TXT=a W/IN/");
}

TEST_F(PcPasteTest, ALinkToAFolderIsCopiedOrMovedAsALinkAndWhatItNamesStays) {
    WritePc("IMPORTANT/A.TXT", "a");
    WritePc("S/WORK/B.TXT", "b");
    ASSERT_TRUE(QFile::link(Pc("IMPORTANT"), Pc("S/SHARED")));
    ASSERT_TRUE(QFile::link(Pc("IMPORTANT"), Pc("S/WORK/INNER")));

    for (const bool copy : {true, false}) {
        QDir(Pc("T")).removeRecursively();
        QDir().mkpath(Pc("T"));
        const PcPasteResult result = Paste(
            {PcItem("S/SHARED", kKindFolder), PcItem("S/WORK", kKindFolder)}, copy, false);

        EXPECT_EQ(QFile::symLinkTarget(Pc("T/SHARED")), Pc("IMPORTANT"));
        EXPECT_EQ(QFile::symLinkTarget(Pc("T/WORK/INNER")), Pc("IMPORTANT"));
        EXPECT_EQ(Listing(Pc("IMPORTANT")), "A.TXT=a");
        EXPECT_EQ(result.gone.size(), copy ? 0 : 2);
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(Pc("S/SHARED")) || QFileInfo(Pc("S/SHARED")).isSymLink());
}

TEST_F(PcPasteTest, ATerminalFolderCopyKeepsItsShortNamesAndTheTerminalAsItWas) {
    MakeFolder(true);
    const QString terminal = Listing(TerminalFolder("C"));

    const PcPasteResult result = Paste(Folder(true), true, true);

    EXPECT_EQ(Listing(Pc("T/DATA")), kWork);
    EXPECT_EQ(Listing(TerminalFolder("C")), terminal);
    EXPECT_TRUE(result.reached && result.gone.isEmpty() && prompter.messages.isEmpty());
    EXPECT_EQ(progress.before.first(), "C:\\DATA\\A.DAT -> " + Pc("T/DATA/A.DAT"));
    EXPECT_EQ(progress.after, (QList<qint64>{5, 5, 7, 5}));
}

TEST_F(PcPasteTest, ATerminalFolderMoveEmptiesTheFolderAndThenRemovesIt) {
    MakeFolder(true);

    const PcPasteResult result = Paste(Folder(true), false, true);

    EXPECT_EQ(result.gone, QStringList{"C:\\DATA"});
    EXPECT_FALSE(ExistsOnTerminal("C/DATA"));
    EXPECT_EQ(Listing(Pc("T/DATA")), kWork);
}

TEST_F(PcPasteTest, ADeclinedOverwriteKeepsThatFileAndItsFolderOnTheTerminal) {
    MakeFolder(true);
    WritePc("T/DATA/B.DAT", "older");
    prompter.AnswerQuestions({false});

    const PcPasteResult result = Paste(Folder(true), false, true);

    EXPECT_EQ(prompter.questions, QStringList{Pc("T/DATA/B.DAT") + " exist, Overwrite?"});
    EXPECT_EQ(Listing(TerminalFolder("C/DATA")), "B.DAT=bravo");
    EXPECT_EQ(Listing(Pc("T/DATA")), QString(kWork).replace("bravo", "older"));
    EXPECT_EQ(result.changed, QStringList{"C:\\DATA"});
}

TEST_F(PcPasteTest, ATerminalFileMovesAndLeavesTheTerminalOnlyOnceItArrivedWhole) {
    WriteTerminal("C/DATA/X.TXT", "x");
    WriteTerminal("C/README", "plain");

    // A file without an extension shows in the tree with a "." of its own; the first item
    // is not there at all, which does not stop the next ones.
    const PcPasteResult result = Paste(
        {{"C:\\GONE.TXT", kKindFile}, {"C:\\DATA\\X.TXT", kKindFile}, {"C:\\README.", kKindFile}},
        false, true);

    EXPECT_EQ(prompter.messages, QStringList{"The file does not exist."});
    EXPECT_EQ(Listing(Pc("T")), "README=plain X.TXT=x");
    EXPECT_EQ(Listing(TerminalFolder("C")), "DATA/");
    EXPECT_EQ(result.gone, (QStringList{"C:\\DATA\\X.TXT", "C:\\README."}));
}

TEST_F(PcPasteTest, AnOfflineTerminalIsToldAndNothingIsMade) {
    SwitchTerminalOff();
    WriteTerminal("C/X.TXT", "x");

    const PcPasteResult result = Paste({{"C:\\X.TXT", kKindFile}}, false, true);

    EXPECT_FALSE(result.reached);
    EXPECT_EQ(prompter.messages, QStringList{"Device is Off-line!"});
    EXPECT_EQ(Listing(Pc("T")), "");
}

// A module that lists what it likes: names with separators, "." and "..", one name twice in
// two cases, an unknown kind, and a folder that holds itself.
class LyingModuleTest : public PcOperationsTest {
protected:
    LyingModuleTest() {
        ON_CALL(library, TpOpen).WillByDefault(Return(7));
        ON_CALL(library, TpListDir)
            .WillByDefault(
                [this](uint32_t, const char* folder, int32_t* count, uint8_t* buffer, int32_t*) {
                    listed << folder;
                    const char* entries[][3] = {
                        {"..", "", "\1"},       {".", "", "\2"},    {"A/B", "", "\2"},
                        {"..\\EVIL", "", "\2"}, {"X", "TXT", "\2"}, {"x", "txt", "\2"},
                        {"ODD", "", "\3"},      {"DATA", "", "\1"}, {"DATA", "", "\1"}};
                    *count = 0;
                    for (const auto& entry : entries) {
                        uint8_t* record = buffer + *count * kEntrySize;
                        std::memcpy(record, entry[0], std::strlen(entry[0]));
                        std::memcpy(record + 8, entry[1], std::strlen(entry[1]));
                        record[11] = static_cast<uint8_t>(entry[2][0]);
                        ++*count;
                    }
                    if (reportedCount > 0) *count = reportedCount;
                    return 0;
                });
        ON_CALL(library, TpGetFile)
            .WillByDefault([this](uint32_t, const char* from, const char* to, int32_t) {
                fetched << from;
                QFile file(QString::fromLocal8Bit(to));
                file.open(QIODevice::WriteOnly);
                file.write(from);
                return 0;
            });
        QDir().mkpath(Pc("T"));
    }

    void Paste(const QList<PathAndKind>& sources) {
        const Services lying{library, prompter, clock, files, progress};
        PasteTerminalIntoPcFolder(lying, settings, sources, Pc("T"), true);
    }

    NiceMock<MockTerminalLibrary> library;
    QStringList listed;
    QStringList fetched;
    int32_t reportedCount = 0;  // a count beyond the records, as a module may claim
};

TEST_F(LyingModuleTest, AWalkTakesPlainNamesOnlyEachOnceAndNoDeeperThanTwoLevels) {
    Paste({{"C:\\DATA", kKindFolder}});

    EXPECT_EQ(listed, (QStringList{"C:\\DATA", "C:\\DATA\\DATA"}));
    EXPECT_EQ(fetched, (QStringList{"C:\\DATA\\X.TXT", "C:\\DATA\\DATA\\X.TXT"}));
    EXPECT_EQ(Listing(pc.path()),
              "T/ T/DATA/ T/DATA/DATA/ T/DATA/DATA/X.TXT=C:\\DATA\\DATA\\X.TXT "
              "T/DATA/X.TXT=C:\\DATA\\X.TXT");
    // "..", "." as a file, "A/B" and "..\EVIL" in each of the two folders.
    EXPECT_EQ(prompter.messages, QStringList(8, "Illegal file name."));
}

// A real terminal folder may hold more than one listing shows: a move never removes it.
TEST_F(LyingModuleTest, WhatNoListingShowsIsToldAndAMoveKeepsItsFolder) {
    reportedCount = 300;
    EXPECT_CALL(library, TpRemoveDir).Times(0);
    const Services lying{library, prompter, clock, files, progress};

    PasteTerminalIntoPcFolder(lying, settings, {{"C:\\DATA", kKindFolder}}, Pc("T"), false);

    // Both folders are read as their 225 records: 75 of each were never listed.
    EXPECT_EQ(prompter.messages.last().toStdString(),
              "150 entries were not copied: a terminal lists at most 225 entries of a folder. "
              "Their folders stay on the terminal.");
}

TEST_F(LyingModuleTest, ASelectedItemWhoseNameIsNoPlainNameIsRefused) {
    Paste({{"C:\\..", kKindFolder}, {"C:\\A/..", kKindFile}});

    EXPECT_TRUE(listed.isEmpty() && fetched.isEmpty());
    EXPECT_EQ(Listing(pc.path()), "T/");
    EXPECT_EQ(prompter.messages, QStringList(2, "Illegal file name."));
}

// Faults on the way: whatever happens, nothing is half-written and no source file is deleted
// without a whole copy, and the user is told once.

enum class Fault { TerminalGone, TargetReadOnly, SourceUnreadable, DiskFull, DiskFullInModule };

struct FaultCase {
    const char* name;
    bool fromTerminal;
    bool copy;
    bool merge;  // the folder exists in the target already
    Fault fault;
    const char* message;  // %1 the source folder, %2 its place in the target
};
void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class PasteFaultTest : public PcPasteTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PasteFaultTest, LosesNothingAndSaysWhy) {
    const FaultCase& c = GetParam();
    const QString source = MakeFolder(c.fromTerminal, false);
    const QString dest = Dest(c.fromTerminal);
    if (c.merge) QDir().mkpath(dest);
    const FileTree before = Snapshot(source);

    switch (c.fault) {
        case Fault::TerminalGone:
            progress.onBefore = [this](int file) {
                if (file == 2) SwitchTerminalOff();
            };
            break;
        case Fault::TargetReadOnly:
            for (Op op : {Op::CreateFolder, Op::CopyFile, Op::MoveFile}) {
                files.Fail(op, Pc("T/"), kPcAccessDenied);
            }
            break;
        case Fault::SourceUnreadable:
            if (c.fromTerminal) {
                BenchTerminal faulty = kTerminal;
                faulty.fail = "TpGetFile:2624";
                bench.Add(faulty);
            } else {
                files.Fail(Op::CopyFile, "B.DAT", kPcAccessDenied);
                files.Fail(Op::MoveFile, "B.DAT", kPcAccessDenied);
            }
            break;
        case Fault::DiskFull:  // the second file does not fit where it goes
            files.Fail(c.copy && !c.fromTerminal ? Op::CopyFile : Op::MoveFile, dest + "/B.DAT",
                       kPcDiskFull);
            files.freeBytes = 0;
            break;
        case Fault::DiskFullInModule: {  // the module tells only a failed transfer
            BenchTerminal faulty = kTerminal;
            faulty.fail = "TpGetFile:2804";
            bench.Add(faulty);
            files.freeBytes = 100;
            break;
        }
    }

    const PcPasteResult result = Paste(Folder(c.fromTerminal), c.copy, c.fromTerminal);

    const QString shown = c.fromTerminal ? "C:\\DATA" : source;
    EXPECT_EQ(prompter.messages,
              QStringList{QString(c.message).replace("%1", shown).replace("%2", dest)});
    ExpectNothingLost(before, source, dest);
    EXPECT_TRUE(result.gone.isEmpty());
}

constexpr char kDenial[] = "Action denied. You may have no right.";
constexpr char kDiskFull[] =
    "%2/B.DAT cannot be written: the disk is full (0 bytes free).\nThe rest was not copied.";

INSTANTIATE_TEST_SUITE_P(
    , PasteFaultTest,
    ::testing::Values(
        FaultCase{"TerminalGoneInACopy", true, true, false, Fault::TerminalGone,
                  "Transmission timeout!"},
        FaultCase{"TerminalGoneInAMove", true, false, false, Fault::TerminalGone,
                  "Transmission timeout!"},
        FaultCase{"ReadOnlyTargetTerminalCopy", true, true, false, Fault::TargetReadOnly, kDenial},
        FaultCase{"ReadOnlyTargetTerminalMove", true, false, false, Fault::TargetReadOnly, kDenial},
        FaultCase{"ReadOnlyTargetPcCopy", false, true, false, Fault::TargetReadOnly, kDenial},
        FaultCase{"ReadOnlyTargetPcMove", false, false, false, Fault::TargetReadOnly, kDenial},
        FaultCase{"ReadOnlyTargetPcMoveMerging", false, false, true, Fault::TargetReadOnly,
                  kDenial},
        FaultCase{"UnreadableTerminalFileCopy", true, true, false, Fault::SourceUnreadable,
                  "Open file fail!"},
        FaultCase{"UnreadableTerminalFileMove", true, false, false, Fault::SourceUnreadable,
                  "Open file fail!"},
        FaultCase{"UnreadablePcFileCopy", false, true, false, Fault::SourceUnreadable, kDenial},
        FaultCase{"UnreadablePcFileMoveMerging", false, false, true, Fault::SourceUnreadable,
                  kDenial},
        FaultCase{"DiskFullTerminalCopy", true, true, false, Fault::DiskFull, kDiskFull},
        FaultCase{"DiskFullTerminalMove", true, false, false, Fault::DiskFull, kDiskFull},
        FaultCase{"DiskFullPcCopy", false, true, false, Fault::DiskFull, kDiskFull},
        FaultCase{"DiskFullPcMoveMerging", false, false, true, Fault::DiskFull, kDiskFull},
        FaultCase{"DiskFullSeenByTheModule", true, true, false, Fault::DiskFullInModule,
                  "%2/A.DAT cannot be written: the disk is full (100 bytes free).\n"
                  "The rest was not copied."}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancel before the third file: the first two whole at the destination, the rest where it was.

struct CancelCase {
    const char* name;
    bool fromTerminal;
    bool copy;
};
void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}

class PasteCancelTest : public PcPasteTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(PasteCancelTest, StopsBeforeTheNextFileNeverInsideOne) {
    const CancelCase& c = GetParam();
    const QString source = MakeFolder(c.fromTerminal);
    const QString dest = Dest(c.fromTerminal);
    if (!c.fromTerminal) QDir().mkpath(dest);  // a PC move then goes file by file
    const FileTree before = Snapshot(source);
    progress.cancelAt = 3;

    const PcPasteResult result = Paste(Folder(c.fromTerminal), c.copy, c.fromTerminal);

    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(progress.after.size(), 2);
    EXPECT_EQ(Listing(dest), "A.DAT=alpha B.DAT=bravo");
    EXPECT_TRUE(QFileInfo::exists(source + "/C.DAT"));
    ExpectNothingLost(before, source, dest);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(, PasteCancelTest,
                         ::testing::Values(CancelCase{"PcCopy", false, true},
                                           CancelCase{"PcMove", false, false},
                                           CancelCase{"TerminalCopy", true, true},
                                           CancelCase{"TerminalMove", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
