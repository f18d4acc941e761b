#include "camera/CameraIdentityText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace oskel {
namespace {

// A 32-byte register buffer as the camera fills it, followed by bytes that
// must never be read.
struct Register32 {
    char bytes[kCameraTextSize];
    char beyond[8];

    explicit Register32(const std::string& text)
    {
        std::memset(bytes, 0, sizeof bytes);
        std::memset(beyond, 'X', sizeof beyond);
        std::memcpy(bytes, text.data(), std::min(text.size(), sizeof bytes));
    }
};

TEST(CameraText, TakesTheTextUpToTheFirstZeroByte)
{
    const char bytes[] = {'E', 'M', 'U', '\0', 'o', 'l', 'd'};
    EXPECT_EQ(CameraText(bytes, sizeof bytes), "EMU");
    const char leadingZero[] = {'\0', 'A', 'B'};
    EXPECT_EQ(CameraText(leadingZero, sizeof leadingZero), "");
}

TEST(CameraText, AFullBufferWithoutTerminatorGivesAllOfItAndNothingBeyond)
{
    const Register32 full(std::string(32, 'A') + "tail");
    EXPECT_EQ(CameraText(full.bytes, kCameraTextSize), std::string(32, 'A'));
    EXPECT_EQ(CameraIdLine(full.bytes), "Camera Id: " + std::string(32, 'A'));
}

TEST(CameraText, RemovesTrailingWhiteSpaceOnly)
{
    const char text[] = "  V 1.0\t \r\n\v\f";
    EXPECT_EQ(CameraText(text, sizeof text - 1), "  V 1.0");
    const char inner[] = "A \tB";
    EXPECT_EQ(CameraText(inner, sizeof inner - 1), "A \tB");
    const char blanks[] = {' ', '\t', '\n', ' '};
    EXPECT_EQ(CameraText(blanks, sizeof blanks), "");
}

TEST(CameraText, BlanksBeforeTheZeroByteGoButBytesAfterItAreIgnored)
{
    const char text[] = {'I', 'D', ' ', ' ', '\0', ' ', 'Z'};
    EXPECT_EQ(CameraText(text, sizeof text), "ID");
}

TEST(CameraText, KeepsBytesAboveSevenBitsAndIsSafeOnEmptyInput)
{
    const char text[] = {'\xE9', 't', '\xE9', ' '};
    EXPECT_EQ(CameraText(text, sizeof text), std::string("\xE9t\xE9"));
    EXPECT_EQ(CameraText(nullptr, kCameraTextSize), "");
    EXPECT_EQ(CameraText(text, 0), "");
}

TEST(CameraLines, FillTheAboutBoxFormats)
{
    EXPECT_EQ(CameraIdLine(Register32("OSKEL-EMU-000001   ").bytes), "Camera Id: OSKEL-EMU-000001");
    EXPECT_EQ(CameraVersionLine(Register32("EMU 1.00\n").bytes), "Camera Version: EMU 1.00");
    EXPECT_EQ(CameraVersionLine(Register32("").bytes), "Camera Version: ");
    // A "%s" from the camera is text, not a format.
    EXPECT_EQ(CameraIdLine(Register32("%s%n").bytes), "Camera Id: %s%n");
}

} // namespace
} // namespace oskel
