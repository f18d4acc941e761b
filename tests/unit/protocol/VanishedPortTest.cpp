#include "protocol/ControlBytes.h"
#include "support/CommFixture.h"

namespace oskel::test {
namespace {

// A line whose device goes away once the PC has written `unplugAfterFrames`
// frames and read every answer: from then on reads fail at once, as they do
// on a closed or vanished port. So that a loop which keeps polling such a
// port still ends, each read past the first few moves the clock a second.
class VanishingLine : public ScriptedLine {
public:
    using ScriptedLine::ScriptedLine;

    size_t unplugAfterFrames = SIZE_MAX;
    int readsWhileGone = 0;

    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override
    {
        if (IsPortOpen() && frames.size() >= unplugAfterFrames && bytesUnread() == 0)
            ClosePort();
        if (!IsPortOpen() && ++readsWhileGone > 10)
            clock.AdvanceUs(1000000);
        return ScriptedLine::ReadPort(buffer, count, read);
    }
};

class VanishedPortTest : public ::testing::Test {
protected:
    VanishedPortTest() : line(clock), comm(line, clock) {}

    void OpenQuietly()
    {
        ASSERT_TRUE(line.OpenPort(0));
        ASSERT_TRUE(line.SetBaudRate(19200));
    }

    VirtualTimeSource clock;
    VanishingLine line;
    CCameraComm comm;
};

TEST_F(VanishedPortTest, WaitForEnqStopsWhenThePortIsGone)
{
    OpenQuietly();
    line.Reply({kACK}); // reg 56
    line.Reply({kACK}); // action 13; then the cable is pulled
    line.unplugAfterFrames = 2;
    const uint32_t start = clock.TickCount();
    EXPECT_FALSE(comm.DeleteProgram(1));
    EXPECT_LE(line.readsWhileGone, 1);
    EXPECT_LT(clock.TickCount() - start, 1000u);
    EXPECT_FALSE(comm.ActionPending());
}

TEST_F(VanishedPortTest, WaitReadyStopsWhenThePortIsGone)
{
    OpenQuietly();
    line.Reply({kACK}); // action 2
    ASSERT_TRUE(comm.Action2());
    ASSERT_TRUE(comm.ActionPending());
    line.ClosePort();
    EXPECT_FALSE(comm.WaitReady(7000));
    EXPECT_LE(line.readsWhileGone, 1);
}

TEST_F(VanishedPortTest, ProbeWaitStopsWhenThePortIsGone)
{
    comm.SetPort(0);
    line.unplugAfterFrames = 1; // the probe byte goes out, then the device is gone
    EXPECT_FALSE(comm.Open());
    EXPECT_EQ(line.frames.size(), 1u);
    EXPECT_LE(line.readsWhileGone, 1);
    EXPECT_FALSE(comm.IsOpen());
}

} // namespace
} // namespace oskel::test
