#include "project/ProjectLists.h"

#include <gtest/gtest.h>

namespace {

TEST(MemberLists, MembersAreListedByTheirShownNameInFileOrder) {
    const std::vector<ProjectEntry> entries{{"D:\\SMALL.cft", 1, MemberKind::Font, 0},
                                            {"D:\\A.bas\\X.DAT", 1, MemberKind::Program, 1},
                                            {"D:\\PROGRAM\\MAIN.bas", 1, MemberKind::Program, 2},
                                            {"C:\\UP.BAS", 1, MemberKind::DataFile, 3}};
    const MemberLists lists = SplitMembers(entries);
    ASSERT_EQ(lists.programs.size(), 1u);
    EXPECT_EQ(lists.programs[0].displayName, "MAIN.bas");
    EXPECT_EQ(lists.programs[0].entry, 2);
    ASSERT_EQ(lists.fonts.size(), 1u);
    EXPECT_EQ(lists.fonts[0].entry, 0);
    // The list a member is in goes by its name, not by a folder's; ".BAS" is no program.
    ASSERT_EQ(lists.dataFiles.size(), 2u);
    EXPECT_EQ(lists.dataFiles[0].displayName, "X.DAT");
    EXPECT_EQ(lists.dataFiles[1].displayName, "UP.BAS");
}

}  // namespace
