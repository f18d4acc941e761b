#include "protocol/ControlBytes.h"
#include "protocol/SpeedCodes.h"
#include "support/CommFixture.h"

#include <memory>

namespace oskel::test {
namespace {

// A camera that answers the probe with NAK and acknowledges everything else.
Bytes FriendlyCamera(const Bytes& frame)
{
    return frame == Bytes{kProbe} ? Bytes{kNAK} : Bytes{kACK};
}

class LinkTest : public CommFixture {
protected:
    static uint8_t SpeedCodeOf(const Bytes& frame) { return frame[6]; }
};

TEST_F(LinkTest, OpenAt19200SetsThePortOnceBeforeTheProbe)
{
    comm.SetPort(0);
    line.Reply({kNAK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.Open());
    ASSERT_EQ(line.frames.size(), 2u);
    EXPECT_EQ(line.frames[0].bytes, Bytes{kProbe});
    EXPECT_EQ(line.baudRates, (std::vector<int>{19200, 19200}));
    EXPECT_EQ(line.frames[1].bytes[1], kSpeedLetter);
    EXPECT_EQ(SpeedCodeOf(line.frames[1].bytes), 2);
    // 60 ms after setting the port, then the probe; the speed packet goes
    // after the 800 ms calibration pause.
    EXPECT_EQ(line.frames[0].tick, 60u);
    EXPECT_EQ(line.frames[1].tick, 860u);
    EXPECT_EQ(Now(), 920u);
}

TEST_F(LinkTest, OpenAtAHigherSpeedProbesAt19200ThenSwitches)
{
    comm.SetSpeed(115200);
    comm.SetPort(2);
    line.SetResponder(FriendlyCamera);
    EXPECT_TRUE(comm.Open());
    EXPECT_EQ(line.baudRates, (std::vector<int>{115200, 19200, 115200}));
    EXPECT_EQ(SpeedCodeOf(line.frames[1].bytes), 5);
    EXPECT_EQ(comm.GetSpeed(), 115200);
}

TEST_F(LinkTest, ProbeAnsweredWithAckFailsAndClosesThePort)
{
    comm.SetPort(0);
    line.Reply({kACK});
    const int clearsBefore = line.clears;
    EXPECT_FALSE(comm.Open());
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_GT(line.clears, clearsBefore);
    EXPECT_EQ(line.frames.size(), 1u);
}

TEST_F(LinkTest, SilentCameraGivesUpAfterTheAnswerWindow)
{
    comm.SetPort(0);
    EXPECT_FALSE(comm.Open());
    EXPECT_FALSE(comm.IsOpen());
    // 60 + 800 ms, then reads of 501 ms until 1200 ms have passed.
    EXPECT_EQ(Now(), 60u + 800u + 3u * 501u);
}

TEST_F(LinkTest, ResyncCodes)
{
    EXPECT_EQ(comm.Resync(1), CCameraComm::kResyncNoPort);
    OpenQuietly();
    EXPECT_EQ(comm.Resync(0), CCameraComm::kResyncOk);
    EXPECT_TRUE(line.writes.empty());
    EXPECT_TRUE(line.baudRates.empty());

    line.SetBaudRateFails(true);
    EXPECT_EQ(comm.Resync(1), CCameraComm::kResyncLocalSpeed);
    line.SetBaudRateFails(false);

    EXPECT_EQ(comm.Resync(1), CCameraComm::kResyncNoProbeAnswer);
    line.Reply({kNAK});
    line.Reply({kNAK}); // the speed packet refused
    EXPECT_EQ(comm.Resync(1), CCameraComm::kResyncSpeedRefused);
}

TEST_F(LinkTest, ResyncFailsWhenThePortCannotTake19200)
{
    struct FailingProbeSpeed : ScriptedLine {
        using ScriptedLine::ScriptedLine;
        int SetBaudRate(int bps) override { return bps == 19200 ? 0 : ScriptedLine::SetBaudRate(bps); }
    } port(clock);
    CCameraComm link(port, clock);
    link.SetSpeed(57600);
    port.OpenPort(0);
    EXPECT_EQ(link.Resync(1), CCameraComm::kResyncProbeSpeed);
}

TEST_F(LinkTest, ResyncWithStaleInputDoesTheWholeHandshakeAndClearsTheActionFlag)
{
    OpenQuietly();
    line.Reply({kACK});
    ASSERT_TRUE(comm.DoAction(11, 0));
    EXPECT_TRUE(comm.ActionPending());
    line.Inject({0x42});
    line.SetResponder(FriendlyCamera);
    EXPECT_EQ(comm.Resync(0), CCameraComm::kResyncOk);
    EXPECT_FALSE(comm.ActionPending());
    EXPECT_EQ(line.frames[1].bytes, Bytes{kProbe});
}

TEST_F(LinkTest, CloseSendsSpeedCodeZeroWhenTheLineIsQuiet)
{
    OpenQuietly();
    line.Reply({kACK});
    EXPECT_TRUE(comm.Close());
    ASSERT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(line.frames[0].bytes,
              (Bytes{0x1B, 0x53, 0x06, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x11, 0x00}));
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(comm.Close());
}

TEST_F(LinkTest, CloseWithInputWaitingOnlyPurgesAndCloses)
{
    OpenQuietly();
    line.Inject({0x55});
    EXPECT_TRUE(comm.Close());
    EXPECT_TRUE(line.frames.empty());
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(line.bytesUnread(), 0u);
}

TEST_F(LinkTest, FindPortDefaultStopsAtTheCameraOnCom3)
{
    OpenQuietly();
    line.Reply({kACK}); // the close packet of the port already open
    // COM1 opens but nothing answers; COM2 does not exist; COM3 has the camera.
    line.SetOpenablePorts({0, 2});
    line.SetResponder([this](const Bytes& frame) {
        return line.openAttempts.back() == 2 ? FriendlyCamera(frame) : Bytes{};
    });
    EXPECT_TRUE(comm.FindPortDefault());
    EXPECT_EQ(comm.GetPort(), 2);
    EXPECT_EQ(line.openAttempts, (std::vector<int>{0, 0, 1, 2}));
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(LinkTest, FindPortWithAnEmptyRangeTriesNothing)
{
    comm.SetPort(3);
    EXPECT_FALSE(comm.FindPort(5, 5));
    EXPECT_EQ(comm.GetPort(), -1);
    EXPECT_TRUE(line.openAttempts.empty());
}

TEST_F(LinkTest, SetPortIsRefusedWhileOpen)
{
    EXPECT_TRUE(comm.SetPort(4));
    OpenQuietly();
    EXPECT_FALSE(comm.SetPort(1));
    EXPECT_EQ(comm.GetPort(), 4);
}

TEST_F(LinkTest, SetSpeedRules)
{
    EXPECT_FALSE(comm.SetSpeed(14400));
    EXPECT_EQ(comm.GetSpeed(), 19200);
    EXPECT_TRUE(comm.SetSpeed(57600)); // closed: only recorded
    EXPECT_EQ(comm.GetSpeed(), 57600);
    EXPECT_TRUE(line.writes.empty());

    OpenQuietly(57600);
    line.Reply({kNAK});
    EXPECT_FALSE(comm.SetSpeed(230400));
    EXPECT_EQ(comm.GetSpeed(), 230400); // kept for the next handshake
    EXPECT_EQ(line.frames.size(), 1u);   // written once, no resend
    EXPECT_TRUE(line.baudRates.empty());

    line.Reply({kACK});
    EXPECT_TRUE(comm.SetSpeed(9600));
    EXPECT_EQ(line.baudRates, std::vector<int>{9600});

    line.Inject({0x01});
    EXPECT_TRUE(comm.SetSpeed(38400)); // input waiting: only recorded
    EXPECT_EQ(line.frames.size(), 2u);
}

TEST_F(LinkTest, DestructorClosesTheLink)
{
    auto link = std::make_unique<CCameraComm>(line, clock);
    line.OpenPort(0);
    line.SetBaudRate(19200);
    line.Reply({kACK});
    link.reset();
    EXPECT_FALSE(line.IsPortOpen());
    ASSERT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(line.frames[0].bytes[6], kCloseSpeedCode);
}

} // namespace
} // namespace oskel::test
