#include "app/FitPathToWidth.h"

#include <gtest/gtest.h>

namespace oskel {
namespace {

// 10 pixels a character, 4 for a '.' so that the pixel path cannot pass for
// the character path.
int Pixels(std::string_view text)
{
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            width += text[i] == '.' ? 4 : 10;
    return width;
}

struct FitCase {
    const char* name;
    std::string path;
    int limit;
    bool pixels;
    std::string expected;
};

class FitPathToWidthTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitPathToWidthTest, Shortens)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(c.pixels ? FitPathToWidth(c.path, c.limit, Pixels) : FitPathToWidth(c.path, c.limit), c.expected);
}

const std::string kLong = "/home/ann/Camera/Programs/Sub/Dir";

INSTANTIATE_TEST_SUITE_P(
    Cases, FitPathToWidthTest,
    testing::Values(
        // Pixels: "/home/..." is 6*10 + 3*4 = 72; "/Sub/Dir" 80; "/Dir" 40.
        FitCase{"PixelsFitsWhole", kLong, 330, true, kLong},
        FitCase{"PixelsKeepsTwoFolders", kLong, 152, true, "/home/.../Sub/Dir"},
        FitCase{"PixelsKeepsOneFolder", kLong, 151, true, "/home/.../Dir"},
        FitCase{"PixelsOnlyDots", kLong, 111, true, ".../Dir"},
        FitCase{"PixelsNothingFits", kLong, 0, true, ".../Dir"},
        // Characters: prefix 6 + tail - 1 within the limit.
        FitCase{"CharsFitsWhole", kLong, 33, false, kLong},
        FitCase{"CharsKeepsTwoFolders", kLong, 13, false, "/home/.../Sub/Dir"},
        FitCase{"CharsKeepsOneFolder", kLong, 12, false, "/home/.../Dir"},
        FitCase{"CharsOnlyDots", kLong, 8, false, ".../Dir"},
        FitCase{"NoSecondSeparator", "/Programs", 2, false, "/Programs"},
        FitCase{"FolderWithItsSeparator", "/Programs/", 2, false, "/Programs/"},
        FitCase{"ThreeCharacters", "/a/", 0, false, "/a/"},
        FitCase{"TrailingSeparatorKeepsLastFolder", "/home/ann/Camera/Dir/", 14, false, "/home/.../Dir/"},
        FitCase{"TrailingSeparatorOnlyDots", "/home/ann/Camera/Dir/", 5, false, ".../Dir/"},
        FitCase{"RelativeKeepsFirstFolder", "Camera/Programs/Sub/Dir", 14, false, "Camera/.../Sub/Dir"},
        FitCase{"MultibyteCountsCharacters", "/h\xC3\xA9me/\xE6\x97\xA5/Camera/Sub/D\xC3\xAF", 15, false,
                "/h\xC3\xA9me/.../Sub/D\xC3\xAF"},
        FitCase{"InvalidUtf8", "/\xFF\xFE/\xC3/x/\xE6\x97/y", 5, false, "/\xFF\xFE/.../y"}),
    [](const testing::TestParamInfo<FitCase>& row) { return std::string(row.param.name); });

TEST(FitPathToWidth, VeryLongPathEndsWithItsLastFolder)
{
    std::string path = "/top";
    for (int i = 0; i < 1000; ++i)
        path += "/folder" + std::to_string(i);
    EXPECT_EQ(FitPathToWidth(path, 30), "/top/.../folder998/folder999");
    EXPECT_EQ(FitPathToWidth(path, 300, Pixels), "/top/.../folder998/folder999");
    EXPECT_EQ(FitPathToWidth(path, 12), ".../folder999");
}

TEST(FitPathToWidth, CountsUtf8Characters)
{
    EXPECT_EQ(CountCharacters(""), 0u);
    EXPECT_EQ(CountCharacters("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"), 4u);
    // Truncated, overlong, surrogate and stray continuation bytes count one each.
    EXPECT_EQ(CountCharacters("\xE6\x97"), 2u);
    EXPECT_EQ(CountCharacters("\xC0\xAF"), 2u);
    EXPECT_EQ(CountCharacters("\xED\xA0\x80"), 3u);
    EXPECT_EQ(CountCharacters("\x80\xBF"), 2u);
}

} // namespace
} // namespace oskel
