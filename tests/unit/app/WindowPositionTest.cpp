#include "app/WindowPosition.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>

namespace oskel {
namespace {

using ui::Rect;

struct ParseCase {
    const char* name;
    std::string text;
    bool valid;
    Rect rect;
    int show;
};

class ParseWindowPositionTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseWindowPositionTest, ReadsFiveTokens)
{
    const ParseCase& c = GetParam();
    Rect rect{-1, -1, -1, -1};
    int show = -1;
    ASSERT_EQ(ParseWindowPosition(c.text, &rect, &show), c.valid);
    if (c.valid) {
        EXPECT_EQ(rect, c.rect);
        EXPECT_EQ(show, c.show);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseWindowPositionTest,
    testing::Values(
        ParseCase{"Spaces", "10 20 300 200 1", true, {10, 20, 310, 220}, 1},
        ParseCase{"Commas", "10,20,300,200,1", true, {10, 20, 310, 220}, 1},
        ParseCase{"RunsOfSeparators", " ,10 ,, 20,300  200 , 3", true, {10, 20, 310, 220}, 3},
        ParseCase{"Negative", "-30 -5 300 -200 1", true, {-30, -5, 270, -205}, 1},
        ParseCase{"AtoiTakesLeadingDigits", "10px 20 300x 200 2abc", true, {10, 20, 310, 220}, 2},
        ParseCase{"NonNumericLeftIsZero", "abc 20 300 200 1", true, {0, 20, 300, 220}, 1},
        ParseCase{"TabInsideTokenSkipped", "\t10 20 300 200 1", true, {10, 20, 310, 220}, 1},
        ParseCase{"ExtraTokensIgnored", "1 2 3 4 5 6 7", true, {1, 2, 4, 6}, 5},
        ParseCase{"FourTokens", "10 20 300 200", false, {}, 0},
        ParseCase{"Empty", "", false, {}, 0},
        ParseCase{"OnlySeparators", " , ,", false, {}, 0},
        ParseCase{"ZeroWidth", "10 20 0 200 1", false, {}, 0},
        ParseCase{"ZeroHeightByText", "10 20 300 x 1", false, {}, 0},
        ParseCase{"HugeNumbersSaturate", "-99999999999 0 1 1 1", true, {INT_MIN, 0, INT_MIN + 1, 1}, 1},
        ParseCase{"RightBeyondIntRange", "2147483000 0 1000 10 1", false, {}, 0},
        ParseCase{"BottomBeyondIntRange", "0 -2147483000 10 -1000 1", false, {}, 0}),
    [](const testing::TestParamInfo<ParseCase>& row) { return std::string(row.param.name); });

TEST(WindowPosition, OnlyTheFirst255BytesAreRead)
{
    Rect rect;
    int show = 0;
    const std::string padding(250, ' ');
    EXPECT_TRUE(ParseWindowPosition(padding + "1 2 3", &rect, &show) == false);
    EXPECT_TRUE(ParseWindowPosition(std::string(240, ',') + "1 2 3 4 5", &rect, &show));
    EXPECT_FALSE(ParseWindowPosition(std::string(248, ',') + "1 2 3 4 5", &rect, &show));
    EXPECT_FALSE(ParseWindowPosition(std::string(100000, '9'), &rect, &show));
}

TEST(WindowPosition, SavedValueLoadsBack)
{
    test::TempDir dir;
    CSettingsStore store(dir / "QUIVRAN.INI");
    Rect rect;
    int show = 0;
    EXPECT_FALSE(LoadWindowPosition(store, "UploadDialog", "AppPosition", &rect, &show));
    ASSERT_TRUE(SaveWindowPosition(store, "UploadDialog", "AppPosition", {-8, 30, 652, 420}, 3));
    EXPECT_EQ(store.GetProfileString("UploadDialog", "AppPosition"), "-8 30 660 390 3");
    ASSERT_TRUE(LoadWindowPosition(store, "UploadDialog", "AppPosition", &rect, &show));
    EXPECT_EQ(rect, (Rect{-8, 30, 652, 420}));
    EXPECT_EQ(show, 3);
}

struct ClampCase {
    const char* name;
    Rect in;
    Rect out;
};

class ClampRectToScreenTest : public testing::TestWithParam<ClampCase> {};

TEST_P(ClampRectToScreenTest, MovesIntoTheScreen)
{
    Rect rect = GetParam().in;
    ClampRectToScreen(&rect, {0, 0, 1024, 768});
    EXPECT_EQ(rect, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClampRectToScreenTest,
    testing::Values(ClampCase{"Inside", {10, 20, 500, 400}, {10, 20, 500, 400}},
                    ClampCase{"RightEdgeBeyond", {900, 20, 1100, 220}, {824, 20, 1024, 220}},
                    ClampCase{"LeftEdgeBefore", {-50, 20, 150, 220}, {0, 20, 200, 220}},
                    ClampCase{"BottomBeyond", {10, 700, 110, 800}, {10, 668, 110, 768}},
                    ClampCase{"TopAbove", {10, -9, 110, 91}, {10, 0, 110, 100}},
                    ClampCase{"WiderAndTallerThanScreen", {100, 100, 1300, 1000}, {0, 0, 1200, 900}},
                    ClampCase{"FarAway", {INT_MAX - 10, INT_MIN, INT_MAX, INT_MIN + 10}, {1014, 0, 1024, 10}}),
    [](const testing::TestParamInfo<ClampCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace oskel
