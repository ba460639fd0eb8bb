#include "pc/PcFileOperations.h"

#include "core/ItemKind.h"
#include "link/TerminalPath.h"
#include "pc/PcOperationsFixture.h"

namespace {

using Op = ScriptedFileSystem::Operation;
using PcFileOperationsTest = PcOperationsTest;

TEST(PcPathsTest, SplitAtTheLastSeparatorAndJoinBackTheSame) {
    const std::vector<std::array<QString, 3>> pcPaths = {{"/home/a/X.TXT", "/home/a", "X.TXT"},
                                                         {"/X.TXT", "/", "X.TXT"}};
    for (const auto& [path, parent, name] : pcPaths) {
        EXPECT_EQ(PcParentPath(path), parent);
        EXPECT_EQ(PcNameOf(path), name);
        EXPECT_EQ(JoinPcPath(parent, name), path);
    }
    const std::vector<std::array<QString, 3>> terminalPaths = {
        {"C:\\X.TXT", "C:\\", "X.TXT"},
        {"C:\\DATA", "C:\\", "DATA"},
        {"C:\\DATA\\SUB\\Y", "C:\\DATA\\SUB", "Y"}};
    for (const auto& [path, parent, name] : terminalPaths) {
        EXPECT_EQ(TerminalParentPath(path), parent);
        EXPECT_EQ(TerminalNameOf(path), name);
    }
    EXPECT_TRUE(IsSameOrInsidePc("/a/b", "/a/b"));
    EXPECT_TRUE(IsSameOrInsidePc("/a/b/c", "/a/b"));
    EXPECT_TRUE(IsSameOrInsidePc("/a", "/"));
    EXPECT_FALSE(IsSameOrInsidePc("/a/bc", "/a/b"));
}

TEST(PcPathsTest, ANameNeverLeadsOutOfItsFolder) {
    for (const QString name : {"A.TXT", ".BAS", "a b.c.d", "..."}) {
        EXPECT_TRUE(IsPlainFileName(name) && IsPcFileName(name)) << name.toStdString();
    }
    for (const QString name : {"", ".", "..", "A/B", "/"}) {
        EXPECT_FALSE(IsPlainFileName(name) || IsPcFileName(name)) << name.toStdString();
    }
    // A backslash is a character of a PC name, but a separator in a terminal's listing.
    EXPECT_TRUE(IsPcFileName("..\\X"));
    EXPECT_FALSE(IsPlainFileName("..\\X"));
    EXPECT_FALSE(IsPcFileName(QString("A") + QChar(0) + "B"));
}

// What the run's Trash holds, by name, as Listing shows it.
QString TrashListing() {
    return Listing(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files");
}

TEST_F(PcFileOperationsTest, DeleteMovesToTheTrashAndALinkGoesAsItself) {
    WritePc("W/A.TXT", "a");
    WritePc("W/SUB/B.TXT", "b");
    WritePc("ELSEWHERE/KEEP.TXT", "keep");
    ASSERT_TRUE(QFile::link(Pc("ELSEWHERE"), Pc("W/SUB/LINK")));
    ASSERT_TRUE(QFile::link(Pc("ELSEWHERE"), Pc("SHARED")));
    ASSERT_TRUE(QFile::link(Pc("NOWHERE"), Pc("DANGLING")));
    QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash").removeRecursively();
    PermanentDeleteAnswer answer;

    for (const char* name : {"SHARED", "DANGLING", "W"})
        EXPECT_TRUE(DeletePcItem(services, Pc(name), answer)) << name;

    EXPECT_EQ(Listing(pc.path()), "ELSEWHERE/ ELSEWHERE/KEEP.TXT=keep");
    EXPECT_TRUE(QFileInfo(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/SHARED").isSymLink());
    EXPECT_EQ(TrashListing().toStdString(), "DANGLING=<unreadable> SHARED/ W/ W/A.TXT=a W/SUB/ W/SUB/B.TXT=b W/SUB/LINK/");
    EXPECT_TRUE(prompter.messages.isEmpty() && prompter.questions.isEmpty());
}

TEST_F(PcFileOperationsTest, WithoutATrashTheUserIsAskedOnceAndNoKeepsEverything) {
    files.Fail(Op::MoveToTrash, "", kPcNotSupported);
    for (const bool yes : {false, true}) {
        WritePc("W/SUB/B.TXT", "b");
        WritePc("F.TXT", "f");
        WritePc("ELSEWHERE/KEEP.TXT", "keep");
        QFile::link(Pc("ELSEWHERE"), Pc("W/LINK"));
        prompter.questions.clear();
        prompter.AnswerQuestions({yes});
        PermanentDeleteAnswer answer;

        EXPECT_EQ(DeletePcItem(services, Pc("W"), answer), yes);
        EXPECT_EQ(DeletePcItem(services, Pc("F.TXT"), answer), yes);

        EXPECT_EQ(prompter.questions,
                  QStringList{Pc("W") + " is on a drive without a Trash.\nDelete permanently?"});
        EXPECT_EQ(Listing(pc.path()).toStdString(), yes ? "ELSEWHERE/ ELSEWHERE/KEEP.TXT=keep"
                                          : "ELSEWHERE/ ELSEWHERE/KEEP.TXT=keep F.TXT=f W/ W/LINK/ "
                                            "W/SUB/ W/SUB/B.TXT=b");
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
}

TEST_F(PcFileOperationsTest, AFileThatCannotBeDeletedKeepsItsFoldersAndIsTold) {
    WritePc("W/A.TXT", "a");
    WritePc("W/SUB/B.TXT", "b");
    WritePc("W/SUB/C.TXT", "c");
    files.Fail(Op::DeleteFile, "B.TXT", kPcAccessDenied);
    files.Fail(Op::MoveToTrash, "B.TXT", kPcAccessDenied);
    PermanentDeleteAnswer answer;

    EXPECT_EQ(DeleteFolderTree(files, Pc("W")), kPcAccessDenied);
    EXPECT_EQ(Listing(Pc("W")), "SUB/ SUB/B.TXT=b");
    EXPECT_FALSE(DeletePcItem(services, Pc("W/SUB/B.TXT"), answer));
    EXPECT_EQ(prompter.messages, QStringList{"Action denied. You may have no right."});
    EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
    // Gone already is as good as deleted.
    EXPECT_TRUE(DeletePcItem(services, Pc("W/GONE.TXT"), answer));
}

TEST_F(PcFileOperationsTest, AFolderSwappedForALinkDuringTheWalkIsNeverFollowed) {
    WritePc("W/SUB/B.TXT", "b");
    WritePc("IMPORTANT/KEEP.TXT", "keep");
    // Between the listing of W and the walk into SUB, SUB becomes a link to IMPORTANT.
    files.afterList = [&](const QString& folder) {
        if (folder != Pc("W")) return;
        QDir(Pc("W/SUB")).removeRecursively();
        QFile::link(Pc("IMPORTANT"), Pc("W/SUB"));
    };

    DeleteFolderTree(files, Pc("W"));

    EXPECT_EQ(Listing(Pc("IMPORTANT")), "KEEP.TXT=keep");
}

TEST_F(PcFileOperationsTest, DeletingAProjectTakesOnlyItsProjectFileFromTheDataFolder) {
    WritePc("data/DEMO.prj", "p");
    WritePc("data/DEMO.inf", "i");
    WritePc("data/DEMO/MAIN.BAS", "m");
    WritePc("OUT.prj", "out");
    PermanentDeleteAnswer answer;

    EXPECT_TRUE(DeleteProjectFile(services, Pc("data"), "DEMO", answer));
    EXPECT_FALSE(DeleteProjectFile(services, Pc("data"), "../OUT", answer));

    EXPECT_EQ(Listing(pc.path()),
              "OUT.prj=out data/ data/DEMO/ data/DEMO.inf=i data/DEMO/MAIN.BAS=m");
    EXPECT_FALSE(DeleteProjectFile(services, Pc("data"), "DEMO", answer));
    EXPECT_EQ(prompter.messages, QStringList{"System error Code:2!"});
}

struct ChangeCase {
    const char* name;
    const char* from;  // empty: a new folder in F
    const char* typed;
    int scripted;  // a code the layer answers, 0 for the real one
    const char* message;
    const char* after;  // F afterwards; empty: unchanged
};
void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

class PcChangeTest : public PcOperationsTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(PcChangeTest, MakesOrRenamesInPlaceOrSaysWhyNot) {
    const ChangeCase& c = GetParam();
    WritePc("F/A.TXT", "a");
    WritePc("F/B.TXT", "b");
    WritePc("F/SUB/C.TXT", "c");
    const bool newFolder = !*c.from;
    if (c.scripted) files.Fail(newFolder ? Op::CreateFolder : Op::MoveFile, "F/", c.scripted);
    const QString before = Listing(Pc("F"));

    const bool done = newFolder ? MakePcFolder(services, Pc("F"), c.typed)
                                : RenamePcItem(services, Pc(c.from), c.typed);

    EXPECT_EQ(done, !*c.message);
    EXPECT_EQ(prompter.messages, *c.message ? QStringList{c.message} : QStringList{});
    EXPECT_EQ(Listing(Pc("F")), *c.after ? QString(c.after) : before);
}

INSTANTIATE_TEST_SUITE_P(
    , PcChangeTest,
    ::testing::Values(
        ChangeCase{"NewFolder", "", "my folder.2024", 0, "",
                   "A.TXT=a B.TXT=b SUB/ SUB/C.TXT=c my folder.2024/"},
        ChangeCase{"NewFolderTaken", "", "SUB", 0, "Same file name already exists!", ""},
        ChangeCase{"NewFolderDenied", "", "NEW", kPcAccessDenied,
                   "Action denied. You may have no right.", ""},
        ChangeCase{"NewFolderDiskFull", "", "NEW", kPcDiskFull, "System error Code:112!", ""},
        ChangeCase{"NewFolderWithSlash", "", "X/Y", 0, "Invalid file name!", ""},
        ChangeCase{"NewFolderParent", "", "..", 0, "Invalid file name!", ""},
        ChangeCase{"RenameFile", "F/A.TXT", "NEW.TXT", 0, "", "B.TXT=b NEW.TXT=a SUB/ SUB/C.TXT=c"},
        ChangeCase{"RenameFolder", "F/SUB", "OTHER", 0, "", "A.TXT=a B.TXT=b OTHER/ OTHER/C.TXT=c"},
        ChangeCase{"RenameToItsOwnName", "F/A.TXT", "A.TXT", 0, "", ""},
        ChangeCase{"RenameOntoAFile", "F/A.TXT", "B.TXT", 0, "Same file name already exists!", ""},
        ChangeCase{"RenameOntoAFolder", "F/A.TXT", "SUB", 0, "Same file name already exists!", ""},
        ChangeCase{"RenameDenied", "F/A.TXT", "NEW.TXT", kPcAccessDenied, "System error Code:5!",
                   ""},
        ChangeCase{"RenameMissing", "F/GONE.TXT", "NEW.TXT", 0, "System error Code:2!", ""},
        ChangeCase{"RenameIntoAFolder", "F/A.TXT", "SUB/A.TXT", 0, "Invalid file name!", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
