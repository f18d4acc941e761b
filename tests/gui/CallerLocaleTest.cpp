// The progress window's figures under the user's language: the toolkit has
// switched the C library to it, the window's texts are English.
#include "ProgressWindow.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

namespace oskel::qt {
namespace {

TEST(ProgressWindow, FiguresReadTheSameInEveryLanguage)
{
    for (const char* locale : test::kOtherLocales) {
        const test::ScopedLocale scope(locale);
        if (!scope.ok())
            GTEST_SKIP() << locale << " is not installed (scripts/setup.sh generates it)";
        // 20 KiB in 5 s: 4.0 KiB/s, and 8 KiB to go take 2 s.
        EXPECT_EQ(RateText({20480, 28672, 115200, 5000}), "4.0 KB/s, 2 s left") << locale;
    }
}

} // namespace
} // namespace oskel::qt
