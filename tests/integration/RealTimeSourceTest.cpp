#include "platform/RealTimeSource.h"
#include "support/SchedulingSlack.h"

#include <gtest/gtest.h>

namespace oskel {
namespace {

TEST(RealTime, WaitsAreNeitherCutShortNorLong)
{
    RealTimeSource& clock = RealTimeSource::Instance();
    for (uint32_t ms : {0u, 1u, 5u, 40u}) {
        const uint32_t start = clock.TickCount();
        clock.WaitMs(ms);
        const uint32_t elapsed = clock.TickCount() - start;
        EXPECT_GE(elapsed, ms);
        EXPECT_LE(elapsed, ms + test::kSchedulingSlackMs);
    }
}

} // namespace
} // namespace oskel
