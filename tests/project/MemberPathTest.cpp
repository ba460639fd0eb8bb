#include "project/MemberPath.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct PathCase {
    std::string path;
    MemberPathProblem problem;
};

void PrintTo(const PathCase& value, std::ostream* out) {
    *out << '"' << value.path << '"';
}

class MemberPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(MemberPathTest, Judges) {
    EXPECT_EQ(CheckMemberPath(GetParam().path), GetParam().problem);
}

using P = MemberPathProblem;

INSTANTIATE_TEST_SUITE_P(Plain, MemberPathTest,
                         ::testing::Values(PathCase{"C:\\A.DAT", P::None},
                                           PathCase{"D:\\PROGRAM\\MAIN.bas", P::None},
                                           PathCase{"E:\\A\\B\\F.TXT", P::None},
                                           PathCase{"C:\\12345678.123", P::None},
                                           PathCase{"D:\\SHOP\\LOOKUP", P::None},
                                           PathCase{"D:\\~$#!@\\A-B_C.{}", P::None}));

INSTANTIATE_TEST_SUITE_P(
    Drive, MemberPathTest,
    ::testing::Values(PathCase{"F:\\A.DAT", P::Drive}, PathCase{"A:\\A.DAT", P::Drive},
                      // The drop looks for "[Info]C:" as written, so the letter is upper case.
                      PathCase{"c:\\A.DAT", P::Drive}, PathCase{"C:A.DAT", P::Drive},
                      PathCase{"C:", P::Drive}, PathCase{"", P::Drive},
                      PathCase{"CC:\\A.DAT", P::Drive}, PathCase{"C:/A.DAT", P::Drive},
                      PathCase{"\\\\PC\\C:\\A.DAT", P::Drive}));

INSTANTIATE_TEST_SUITE_P(EmptyName, MemberPathTest,
                         ::testing::Values(PathCase{"C:\\", P::EmptyName},
                                           PathCase{"C:\\\\A.DAT", P::EmptyName},
                                           PathCase{"C:\\A\\", P::EmptyName},
                                           PathCase{"C:\\A\\\\B.DAT", P::EmptyName}));

INSTANTIATE_TEST_SUITE_P(
    DotName, MemberPathTest,
    ::testing::Values(PathCase{"C:\\..\\A.DAT", P::DotName},
                      PathCase{"D:\\A\\..\\..\\X.DAT", P::DotName},
                      PathCase{"C:\\.\\A.DAT", P::DotName}, PathCase{"E:\\A\\..", P::DotName},
                      // A dot name is what matters, even in a path that is also too deep.
                      PathCase{"C:\\A\\B\\C\\..\\X.DAT", P::DotName}));

INSTANTIATE_TEST_SUITE_P(Depth, MemberPathTest,
                         ::testing::Values(PathCase{"C:\\A\\B\\C\\D.DAT", P::TooDeep},
                                           PathCase{"C:\\A\\B\\C\\D\\E", P::TooDeep},
                                           PathCase{"C:\\A\\B\\LONGFILENAME.DAT\\X", P::TooDeep}));

INSTANTIATE_TEST_SUITE_P(NotShort, MemberPathTest,
                         ::testing::Values(PathCase{"C:\\LONGNAME9.DAT", P::NotShortName},
                                           PathCase{"C:\\A.DATA", P::NotShortName},
                                           PathCase{"C:\\A.B.C", P::NotShortName},
                                           PathCase{"C:\\A B.DAT", P::NotShortName},
                                           // A "," would end the path inside the entry line.
                                           PathCase{"C:\\A,B.DAT", P::NotShortName},
                                           PathCase{"C:\\A*.DAT", P::NotShortName},
                                           PathCase{"C:\\.DAT", P::NotShortName},
                                           PathCase{"C:\\A.", P::NotShortName},
                                           PathCase{"C:\\A/B.DAT", P::NotShortName},
                                           PathCase{"C:\\\xC3\xA9T\xC3\xA9.DAT", P::NotShortName},
                                           PathCase{"C:\\A\x01.DAT", P::NotShortName},
                                           PathCase{"C:\\A\rB.DAT", P::NotShortName},
                                           PathCase{"D:\\LONGFOLDER\\A.DAT", P::NotShortName}));

}  // namespace
