#include "platform/LibraryLoader.h"
#include "platform/PlatformInfo.h"
#include "platform/VirtualTimeSource.h"

#include <gtest/gtest.h>

namespace oskel {
namespace {

TEST(VirtualTime, WaitEndsOnTheTickAndSpinsAccumulate)
{
    VirtualTimeSource clock(2500, 400); // 0.4 ms past tick 0
    clock.WaitMs(3);
    EXPECT_EQ(clock.NowUs(), 3000u);
    for (int i = 0; i < 4; ++i)
        clock.Spin(625); // a quarter of a millisecond each
    EXPECT_EQ(clock.NowUs(), 4000u);
    uint64_t seen = 0;
    clock.SetObserver([&](uint64_t now) { seen = now; });
    clock.AdvanceUs(250);
    EXPECT_EQ(seen, 4250u);
    clock.AdvanceToUs(100); // never backwards
    EXPECT_EQ(clock.NowUs(), 4250u);
}

TEST(VirtualTime, TickCountWrapsAndDifferencesStayRight)
{
    VirtualTimeSource clock(2500, (0xFFFFFFFFull - 5) * 1000);
    const uint32_t start = clock.TickCount();
    clock.WaitMs(20);
    EXPECT_LT(clock.TickCount(), start); // wrapped
    EXPECT_EQ(TicksSince(clock, start), 20u);
    clock.WaitMs(55); // after the wrap too
    EXPECT_EQ(TicksSince(clock, start), 75u);
}

TEST(Platform, LinuxIsNeverWin32s)
{
    const PlatformVersion v = LinuxPlatformInfo::Instance().Query();
    EXPECT_TRUE(v.ok);
    EXPECT_NE(v.platformId, kPlatformWin32s);
    EXPECT_GT(v.majorVersion, 0);
    EXPECT_TRUE(v.posix);
}

TEST(Platform, LoaderFindsExportsByNameAndReportsMissingOnes)
{
    DlLibraryLoader& loader = DlLibraryLoader::Instance();
    EXPECT_EQ(loader.Load("liboskel-no-such-library.so"), nullptr);
    LibraryLoader::Handle libc = loader.Load("libc.so.6");
    ASSERT_NE(libc, nullptr);
    EXPECT_NE(loader.Symbol(libc, "strlen"), nullptr);
    EXPECT_EQ(loader.Symbol(libc, "NoSuchExport16_b"), nullptr);
    EXPECT_EQ(loader.Symbol(nullptr, "strlen"), nullptr);
    loader.Free(libc);
}

} // namespace
} // namespace oskel
