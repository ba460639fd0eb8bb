#include "terminal/TerminalFileOperations.h"

#include "terminal/TerminalOperationFixture.h"

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
