#include "platform/VirtualTimeSource.h"
#include "support/ScriptedLine.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

class PacedWriteTest : public ::testing::Test {
protected:
    PacedWriteTest() : line(clock) { line.OpenPort(0); }

    std::vector<size_t> ChunkSizes() const
    {
        std::vector<size_t> sizes;
        for (const auto& c : line.chunks)
            sizes.push_back(c.size());
        return sizes;
    }

    VirtualTimeSource clock;
    ScriptedLine line;
    Bytes data = Bytes(200, 0x41);
    uint32_t written = 0;
};

TEST_F(PacedWriteTest, NormalWritesSplitFrom96Bytes)
{
    ASSERT_TRUE(line.WritePort(data.data(), 95, &written, -1));
    EXPECT_EQ(ChunkSizes(), std::vector<size_t>{95});
    EXPECT_EQ(clock.TickCount(), 0u);
    line.chunks.clear();
    ASSERT_TRUE(line.WritePort(data.data(), 96, &written, -1));
    EXPECT_EQ(ChunkSizes(), (std::vector<size_t>{1, 3, 92}));
    EXPECT_EQ(written, 96u);
    // One SpinPerMs pause after each of the first two pieces.
    EXPECT_EQ(clock.TickCount(), 2u);
}

constexpr int kRaised = 15; // CountingPriority's time-critical value

// Records the thread's priority at every write call; can fail the n-th call
// and can sleep (as a line whose driver does not drain) before it.
struct WatchedLine : ScriptedLine {
    using ScriptedLine::ScriptedLine;
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* out) override
    {
        const size_t call = chunks.size();
        if (call == sleepAtChunk)
            BeforeSleep(sleepUs);
        priorities.push_back(priority.current);
        if (call == failAtChunk)
            return *out = 0, false;
        return ScriptedLine::WriteChunk(bytes, count, out);
    }
    int LineSpeed() const override { return 230400; }

    std::vector<int> priorities;
    size_t failAtChunk = SIZE_MAX;
    size_t sleepAtChunk = SIZE_MAX;
    uint64_t sleepUs = 0;
};

// A packet goes at raised priority for its wire time plus 3 ms of waits
// (spins and sleeps) at most; then at the thread's own, restored once.
TEST_F(PacedWriteTest, RaisedPriorityCoversAPacketUpToItsWireTimePlusAllowance)
{
    constexpr int R = kRaised;
    struct Case {
        int count;
        int pacing;
        size_t failAtChunk;
        std::vector<int> priorities; // at each write call
    };
    const Case cases[] = {
        {5, -1, SIZE_MAX, {R}},
        {200, -1, SIZE_MAX, {R, R, R}},
        {6, 0, SIZE_MAX, {R, R, R, R, R, R}},
        {200, -1, 1, {R, R}},
        {6, 0, 2, {R, R, R}},
        // Paced by 2 ms pauses: only the first pause fits in 260 us + 3 ms.
        {6, 1, SIZE_MAX, {R, 0, 0, 0, 0, 0}},
        // 4 ms pauses: none fits; a 2022-byte resend spins 8 s unboosted.
        {4, 2, SIZE_MAX, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " bytes, pacing " << c.pacing << ", failing call " << c.failAtChunk);
        WatchedLine watched(clock);
        watched.OpenPort(0);
        watched.failAtChunk = c.failAtChunk;
        EXPECT_EQ(watched.WritePort(data.data(), c.count, &written, c.pacing), c.failAtChunk == SIZE_MAX ? 1 : 0);
        EXPECT_EQ(watched.priorities, c.priorities);
        EXPECT_EQ(watched.priority.raises, 1);
        EXPECT_EQ(watched.priority.restores, 1);
        EXPECT_EQ(watched.priority.current, 0);
    }
}

TEST_F(PacedWriteTest, RaisedPriorityIsNotHeldAcrossASleepBeyondThePacketsAllowance)
{
    // 200 bytes at 230400 bit/s take 8.68 ms on the wire; the split write's
    // two 1 ms pauses leave 9.68 ms of the allowance for the sleep.
    for (uint64_t sleepUs : {9600u, 9700u}) {
        WatchedLine watched(clock);
        watched.OpenPort(0);
        watched.sleepAtChunk = 2;
        watched.sleepUs = sleepUs;
        ASSERT_TRUE(watched.WritePort(data.data(), 200, &written, -1));
        const int last = sleepUs < 9680 ? kRaised : 0;
        EXPECT_EQ(watched.priorities, (std::vector<int>{kRaised, kRaised, last})) << sleepUs;
        EXPECT_EQ(watched.priority.restores, 1);
        EXPECT_EQ(watched.priority.current, 0);
    }
}

TEST_F(PacedWriteTest, PacingNSpinsAbout2NMsBeforeEveryByte)
{
    ASSERT_TRUE(line.WritePort(data.data(), 4, &written, 3));
    EXPECT_EQ(clock.TotalSpinIterations(), 4u * 3 * 2 * 2500);
    EXPECT_EQ(clock.TickCount(), 24u);
}

TEST_F(PacedWriteTest, FailedWriteCountsWhatWent)
{
    WatchedLine failing(clock);
    failing.OpenPort(0);
    failing.failAtChunk = 2;
    EXPECT_FALSE(failing.WritePort(data.data(), 6, &written, 0));
    EXPECT_EQ(written, 2u);
    failing.chunks.clear();
    failing.failAtChunk = 1;
    EXPECT_FALSE(failing.WritePort(data.data(), 100, &written, -1));
    EXPECT_EQ(written, 1u); // the 1-byte piece went, the 3-byte one failed
}

TEST_F(PacedWriteTest, ClosedPortWritesNothing)
{
    line.ClosePort();
    written = 9;
    EXPECT_FALSE(line.WritePort(data.data(), 5, &written, -1));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(line.chunks.empty());
}

TEST(DelayCalibrate, UpTo500MsOnlyWaits)
{
    VirtualTimeSource clock(1000);
    ScriptedLine line(clock);
    EXPECT_TRUE(line.DelayCalibrate(500));
    EXPECT_EQ(clock.TickCount(), 500u);
    EXPECT_EQ(clock.TotalSpinIterations(), 0u);
    EXPECT_EQ(line.SpinPerMs(), 2500);
}

TEST(DelayCalibrate, Above500MsRecalibratesWithinTheSameTime)
{
    // 1000 iterations a millisecond: 250,000 take 250 ms (> 50 ms).
    VirtualTimeSource clock(1000);
    ScriptedLine line(clock);
    EXPECT_TRUE(line.DelayCalibrate(501));
    EXPECT_EQ(line.SpinPerMs(), 1000);
    EXPECT_EQ(clock.TickCount(), 501u);
    EXPECT_EQ(line.priority.raises, 1);
    EXPECT_EQ(line.priority.restores, 1);
}

TEST(DelayCalibrate, FastMachineTakesTheLongMeasurement)
{
    // 250,000 iterations in 25 ms: measure 2,500,000 instead (250 ms).
    VirtualTimeSource clock(10000);
    ScriptedLine line(clock);
    line.DelayCalibrate(800);
    EXPECT_EQ(line.SpinPerMs(), 10000);
    EXPECT_EQ(clock.TickCount(), 800u);
}

TEST(DelayCalibrate, ZeroMeasuredTimeGivesTheFullCount)
{
    VirtualTimeSource clock(100000000);
    ScriptedLine line(clock);
    line.DelayCalibrate(600);
    EXPECT_EQ(line.SpinPerMs(), 2500000);
    EXPECT_EQ(clock.TickCount(), 600u);
}

TEST(DelayCalibrate, ReturnsAtOnceWhenCalibrationTookLonger)
{
    VirtualTimeSource clock(100); // 250,000 iterations take 2.5 s
    ScriptedLine line(clock);
    line.DelayCalibrate(800);
    EXPECT_EQ(clock.TickCount(), 2500u);
    EXPECT_EQ(line.SpinPerMs(), 100);
}

} // namespace
} // namespace oskel::test
