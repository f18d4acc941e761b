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
    EXPECT_EQ(line.priority.raises, 0);
}

TEST_F(PacedWriteTest, ByteByByteAtRaisedPriority)
{
    ASSERT_TRUE(line.WritePort(data.data(), 5, &written, 0));
    EXPECT_EQ(ChunkSizes(), std::vector<size_t>(5, 1));
    EXPECT_EQ(line.priority.raises, 1);
    EXPECT_EQ(line.priority.restores, 1);
    EXPECT_EQ(line.priority.current, 0);
    EXPECT_EQ(clock.TickCount(), 0u);
}

TEST_F(PacedWriteTest, PacingNSpinsAbout2NMsBeforeEveryByte)
{
    ASSERT_TRUE(line.WritePort(data.data(), 4, &written, 3));
    EXPECT_EQ(clock.TotalSpinIterations(), 4u * 3 * 2 * 2500);
    EXPECT_EQ(clock.TickCount(), 24u);
}

TEST_F(PacedWriteTest, FailedByteWriteStillRestoresPriority)
{
    struct FailsThirdByte : ScriptedLine {
        using ScriptedLine::ScriptedLine;
        bool WriteChunk(const uint8_t* bytes, int count, uint32_t* out) override
        {
            if (chunks.size() == 2)
                return *out = 0, false;
            return ScriptedLine::WriteChunk(bytes, count, out);
        }
    } failing(clock);
    failing.OpenPort(0);
    EXPECT_FALSE(failing.WritePort(data.data(), 6, &written, 0));
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(failing.priority.current, 0);
    EXPECT_EQ(failing.priority.restores, 1);

    failing.chunks.clear();
    failing.chunks.push_back({});
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
