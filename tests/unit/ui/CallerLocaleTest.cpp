// The caller's language changes neither the figures in the program's
// English texts nor how names, answers and settings keys fold their case.
#include "commands/NameMatch.h"
#include "platform/IniText.h"
#include "programs/CameraName.h"
#include "support/ScopedLocale.h"
#include "terminal/TerminalProgress.h"
#include "ui/CLocaleText.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

TEST(CallerLocale, FiguresUseTheDecimalPointInEveryLanguage)
{
    for (const char* locale : kOtherLocales) {
        const ScopedLocale scope(locale);
        if (!scope.ok())
            GTEST_SKIP() << locale << " is not installed (scripts/setup.sh generates it)";
        EXPECT_EQ(cli::FormatProgressFigures({20480, 40960, 115200, 2000}),
                  "20.0 KiB of 40.0 KiB  50%  10.0 KiB/s  89% of line  0:02 left")
            << locale;
        EXPECT_EQ(ui::CFormat("%.1f KB/s, %d s left", 4.0, 2), "4.0 KB/s, 2 s left") << locale;
    }
}

// Under tr_TR the C library maps 'I' to itself (its lower case is the
// dotless i) and 'i' to itself (its upper case is the dotted capital).
TEST(CallerLocale, TheTurkishCapitalIFoldsToThePlainI)
{
    const ScopedLocale scope("tr_TR.UTF-8");
    if (!scope.ok())
        GTEST_SKIP() << "tr_TR.UTF-8 is not installed (scripts/setup.sh generates it)";
    EXPECT_EQ(ui::AsciiLower("IGNORE Icon"), "ignore icon");
    EXPECT_TRUE(CameraNamesEqual("CLIP    FNC", "clip    fnc"));
    const IniText ini("[COMMUNICATION]\nMAXPORT=4\n");
    EXPECT_EQ(ini.Get("Communication", "MaxPort").value_or(""), "4");
    std::vector<int> chosen;
    std::string error;
    EXPECT_TRUE(cli::MatchNames({"clip"}, {{{"CLIP.FNC", "CLIP"}, "CLIP", {}}}, "in the folder", "", &chosen, &error))
        << error;
    EXPECT_EQ(chosen, std::vector<int>{0});
}

} // namespace
} // namespace oskel::test
