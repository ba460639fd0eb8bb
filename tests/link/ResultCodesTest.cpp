#include "link/ResultCodes.h"

#include <gtest/gtest.h>

namespace {

struct CodeText {
    ResultCode code;
    const char* text;
};

void PrintTo(const CodeText& value, std::ostream* out) { *out << value.code; }

class ResultCodeTextTest : public ::testing::TestWithParam<CodeText> {};

TEST_P(ResultCodeTextTest, GivesTheTableText) {
    EXPECT_EQ(ResultCodeText(GetParam().code), GetParam().text);
}

// The first and last code of every band, and the neighbours that differ in meaning.
INSTANTIATE_TEST_SUITE_P(
    Bands, ResultCodeTextTest,
    ::testing::Values(CodeText{2509, "Transmission timeout!"},
                      CodeText{2602, "Terminal is not in file transfer mode."},
                      CodeText{2616, "Invalid disk."}, CodeText{2617, "The disk is un-format."},
                      CodeText{2623, "The file is in using"}, CodeText{2624, "Open file fail!"},
                      CodeText{2625, "The file already exist."},
                      CodeText{2631, "Delete folder fail!"},
                      CodeText{2648, "F/W Upgrade transmission fail!"},
                      CodeText{2656, "Out of Memory!"},
                      CodeText{2657, "Terminal is not in upgrade mode!"},
                      CodeText{2680, "Transmission Protocal version is not match!"},
                      CodeText{2684, "Set SID & AID fail!"},
                      CodeText{2687, "Message send fail!"}, CodeText{2801, "Function fail!"},
                      CodeText{2804, "Open file fail!"},
                      CodeText{2812, "The temporary buffer does not exist or close!"},
                      CodeText{2850, "Data already exist in database!"},
                      CodeText{2851, "JudgeParam parameter data does not exist in database!"},
                      CodeText{2853, "Package list data does not exist in database!"}));

// Codes just outside each band, zero and negatives fall to the formatted default.
class UnknownCodeTest : public ::testing::TestWithParam<ResultCode> {};

TEST_P(UnknownCodeTest, GivesTheDefaultWithTheSignedCode) {
    EXPECT_EQ(ResultCodeText(GetParam()), "Unknow error code:" + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(BetweenBands, UnknownCodeTest,
                         ::testing::Values(0, -1, -2616, 2508, 2510, 2601, 2603, 2615, 2632,
                                           2647, 2658, 2679, 2688, 2800, 2813, 2849, 2854, 3000,
                                           INT32_MIN, INT32_MAX));

TEST(ResultCodeTextTable, EveryKnownCodeHasItsOwnTextAndTheyNumberFiftyTwo) {
    int known = 0;
    for (ResultCode code = 2400; code < 2900; ++code) {
        if (ResultCodeText(code).rfind("Unknow error code:", 0) != 0) ++known;
    }
    EXPECT_EQ(known, 52);
}

}  // namespace
