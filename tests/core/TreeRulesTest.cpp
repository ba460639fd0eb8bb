#include "core/TreeRules.h"

#include "core/ItemKind.h"
#include "ui/trees/PcFileTree.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

// Short names for the table: which of the seven commands a right click turns on.
enum : unsigned {
    Copy = 1,
    Cut = 2,
    Del = 4,
    NewFolder = 8,
    Rename = 16,
    Format = 32,
    Property = 64,
};

EditCommands Expect(unsigned on, bool cutApplies = true) {
    EditCommands commands;
    commands.copy = on & Copy;
    commands.cut = on & Cut;
    commands.del = on & Del;
    commands.newFolder = on & NewFolder;
    commands.rename = on & Rename;
    commands.format = on & Format;
    commands.property = on & Property;
    commands.cutApplies = cutApplies;
    return commands;
}

struct RightClickCase {
    const char* name;
    TreeTraits tree;
    int kind;
    const char* path;
    unsigned on;
};

void PrintTo(const RightClickCase& c, std::ostream* out) { *out << c.name; }

class RightClickTest : public ::testing::TestWithParam<RightClickCase> {};

TEST_P(RightClickTest, OffersTheCommandsOfTheItem) {
    const RightClickCase& c = GetParam();
    const bool projectMode = !c.tree.fileMode;
    EXPECT_EQ(RightClickCommands(c.tree, c.kind, QString::fromLatin1(c.path)),
              Expect(c.on, !projectMode));
}

constexpr TreeTraits kPcFiles{true, true};
constexpr TreeTraits kTerminalFiles{false, true};
constexpr TreeTraits kProjects{true, false};
constexpr TreeTraits kRoster{false, false};

INSTANTIATE_TEST_SUITE_P(
    FileMode, RightClickTest,
    ::testing::Values(
        RightClickCase{"PcRoot", kPcFiles, kKindRoot, "PC", 0},
        RightClickCase{"NoItem", kPcFiles, kNoItem, "", 0},
        RightClickCase{"TerminalRoot", kTerminalFiles, kKindTerminal, "T", 0},
        RightClickCase{"PcRemovable", kPcFiles, kKindRemovable, "/media/stick", NewFolder},
        RightClickCase{"PcNetwork", kPcFiles, kKindNetwork, "/mnt/share", NewFolder},
        RightClickCase{"PcFixed", kPcFiles, kKindFixed, "/", NewFolder},
        RightClickCase{"PcCdRom", kPcFiles, kKindCdRom, "/media/cd", 0},
        RightClickCase{"PcFolder", kPcFiles, kKindFolder, "/home/DATA", Copy | Del | NewFolder | Rename},
        RightClickCase{"PcFile", kPcFiles, kKindFile, "/home/A.TXT", Copy | Cut | Del | Rename},
        // A PC path never gets the terminal's protected-folder rules.
        RightClickCase{"PcFolderNamedLikeProgram", kPcFiles, kKindFolder, "D:\\PROGRAM",
                       Copy | Del | NewFolder | Rename},
        RightClickCase{"TerminalDrive", kTerminalFiles, kKindFixed, "C:\\", NewFolder | Format | Property},
        RightClickCase{"TerminalFolder", kTerminalFiles, kKindFolder, "C:\\TEMP",
                       Copy | Del | NewFolder | Property},
        RightClickCase{"TerminalFile", kTerminalFiles, kKindFile, "C:\\TEMP\\A.TXT",
                       Copy | Cut | Del | Rename | Property},
        RightClickCase{"DataFolderKeepsCopyAndNewFolder", kTerminalFiles, kKindFolder, "C:\\DATA",
                       Copy | NewFolder | Property},
        RightClickCase{"DataFolderAnyCase", kTerminalFiles, kKindFolder, "c:\\Data",
                       Copy | NewFolder | Property},
        RightClickCase{"LookupFolder", kTerminalFiles, kKindFolder, "D:\\LOOKUP", Copy | NewFolder | Property},
        RightClickCase{"FontsFolder", kTerminalFiles, kKindFolder, "D:\\FONTS", Copy | NewFolder | Property},
        RightClickCase{"ProgramFolder", kTerminalFiles, kKindFolder, "D:\\PROGRAM", NewFolder | Property},
        RightClickCase{"BelowProgramFolder", kTerminalFiles, kKindFolder, "D:\\PROGRAM\\OLD", Del | Property},
        RightClickCase{"ProgramsFolderIsBelowTheRuleToo", kTerminalFiles, kKindFolder, "D:\\PROGRAMS",
                       Del | NewFolder | Property},
        RightClickCase{"SecondLevelFolderTakesNoFolder", kTerminalFiles, kKindFolder, "C:\\DATA\\X",
                       Copy | Del | Property},
        RightClickCase{"FileInProgramFolder", kTerminalFiles, kKindFile, "D:\\PROGRAM\\MAIN.BAS", Del | Property},
        // The file rule reads the path as it stands.
        RightClickCase{"FileInLowerCaseProgramFolder", kTerminalFiles, kKindFile, "D:\\program\\MAIN.BAS",
                       Copy | Cut | Del | Rename | Property}));

INSTANTIATE_TEST_SUITE_P(
    ProjectMode, RightClickTest,
    ::testing::Values(RightClickCase{"ProjectRoot", kProjects, kKindProjectRoot, "", 0},
                      RightClickCase{"Project", kProjects, kKindProjectOrTerminal, "SHOP", Property},
                      RightClickCase{"RosterRoot", kRoster, kKindProjectRoot, "", 0},
                      RightClickCase{"RosterTerminal", kRoster, kKindProjectOrTerminal, "", Property},
                      RightClickCase{"ProjectOnTerminal", kRoster, kKindTerminalProject, "", Del | Property},
                      RightClickCase{"NoItem", kRoster, kNoItem, "", 0}));

TEST(LeftClickTest, OnlyFoldersAndFilesOfferCopyCutAndDelete) {
    for (int kind : {kKindRoot, kKindTerminal, kKindRemovable, kKindFixed, kKindCdRom, kKindNetwork}) {
        EXPECT_EQ(LeftClickCommands(kind), Expect(0)) << kind;
    }
    EXPECT_EQ(LeftClickCommands(kKindFolder), Expect(Copy | Del));
    EXPECT_EQ(LeftClickCommands(kKindFile), Expect(Copy | Cut | Del));
}

TEST(StaysOnTerminalTest, ProgramsAndProgramFoldersAreNeverSelected) {
    EXPECT_TRUE(StaysOnTerminal(kKindFile, "MAIN.bas"));
    EXPECT_FALSE(StaysOnTerminal(kKindFile, "MAIN.BAS"));  // the rule is case-sensitive
    EXPECT_TRUE(StaysOnTerminal(kKindFolder, "Program"));
    EXPECT_TRUE(StaysOnTerminal(kKindFolder, "MyProgram"));
    EXPECT_FALSE(StaysOnTerminal(kKindFolder, "PROGRAM"));
    EXPECT_FALSE(StaysOnTerminal(kKindFixed, "Program"));
}

TEST(AcceptsDropTest, FileModeTakesDrivesAndFoldersProjectModeTakesTerminals) {
    for (int kind = kKindRoot; kind <= kKindTerminalOffline; ++kind) {
        const bool expected =
            kind == kKindRemovable || kind == kKindFixed || kind == kKindFolder || kind == kKindNetwork;
        EXPECT_EQ(AcceptsDrop(true, kind), expected) << kind;
    }
    EXPECT_FALSE(AcceptsDrop(true, kNoItem));
    EXPECT_TRUE(AcceptsDrop(false, kKindProjectOrTerminal));
    EXPECT_FALSE(AcceptsDrop(false, kKindProjectRoot));
    EXPECT_FALSE(AcceptsDrop(false, kKindTerminalProject));
    EXPECT_FALSE(AcceptsDrop(false, kNoItem));
}

TEST(ListingFilterTest, PcFilesShowOnlyWithShortNames) {
    const struct {
        const char* name;
        bool shown;
    } cases[] = {{"README", false},       {"LONGNAME1.TXT", false}, {"A.B.C", true},
                 {"ABCDEFGH.TXTX", false}, {"ABCDEFGH.TXT", true},  {"A.TOOLONG", true},
                 {".profile", true},        {"X.", true}};
    for (const auto& c : cases) EXPECT_EQ(ShowsAsShortName(c.name), c.shown) << c.name;
}

TEST(ListingFilterTest, ProjectsAreNamedUpToTheirFirstPoint) {
    const struct {
        const char* entry;
        const char* project;
    } cases[] = {{"DEMO.prj", "DEMO"}, {"DEMO.PRJ", ""},   {"A.B.prj", "A"},
                 {".prj", ""},         {"X.prj.bak", "X"}, {"notes.txt", ""}};
    for (const auto& c : cases) EXPECT_EQ(ProjectNameOf(c.entry), c.project) << c.entry;
}

}  // namespace
