#include "protocol/ControlBytes.h"
#include "support/CommFixture.h"

namespace oskel::test {
namespace {

const Bytes kPacket{0x1B, 0x43, 0x02, 0x00, 0x01, 0x01, 0x02, 0x00};

class SendPacketTest : public CommFixture {};

TEST_F(SendPacketTest, ReturnsTheAnswerByte)
{
    OpenQuietly();
    line.Reply({kACK});
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), kACK);
    ASSERT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(line.frames[0].bytes, kPacket);
    EXPECT_EQ(line.frames[0].pacing, -1);
}

TEST_F(SendPacketTest, NakAndDc1AreResentAt55MsIntervals)
{
    OpenQuietly();
    line.Reply({kNAK});
    line.Reply({kDC1});
    line.Reply({kACK});
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), kACK);
    ASSERT_EQ(line.frames.size(), 3u);
    for (const auto& f : line.frames) {
        EXPECT_EQ(f.bytes, kPacket);
        EXPECT_EQ(f.pacing, -1); // a NAK keeps the pacing
    }
    EXPECT_EQ(Now(), 55u * 2);
}

TEST_F(SendPacketTest, TimeOutsCycleThePacingAndItPersists)
{
    OpenQuietly();
    line.ReplySilence();
    line.ReplySilence();
    line.ReplySilence();
    line.Reply({kACK});
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), kACK);
    ASSERT_EQ(line.writes.size(), 4u);
    EXPECT_EQ(line.writes[0].pacing, -1);
    EXPECT_EQ(line.writes[1].pacing, 0);
    EXPECT_EQ(line.writes[2].pacing, 1);
    EXPECT_EQ(line.writes[3].pacing, -1);
    // Byte by byte: one write call per byte.
    EXPECT_EQ(line.chunks.size(), 1u + 8u + 8u + 1u);

    line.ReplySilence();
    line.Reply({kACK});
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), kACK);
    EXPECT_EQ(comm.PacingMode(), 0); // the mode that worked is kept
    line.Reply({kACK});
    comm.SendPacket(kPacket.data(), 8);
    EXPECT_EQ(line.writes.back().pacing, 0);
}

TEST_F(SendPacketTest, GivesUpAfterSixAttemptsAndResetsThePacing)
{
    OpenQuietly();
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), 0);
    // The first write and six resends; the last resend is not waited for.
    EXPECT_EQ(line.writes.size(), 7u);
    EXPECT_EQ(comm.PacingMode(), -1);
    // Six one-byte read time-outs of 501 ms, six 55 ms pauses, and two
    // resends at pacing 1 (2 ms before each of 8 bytes).
    EXPECT_EQ(Now(), 6u * (501 + 55) + 2u * 16);
}

TEST_F(SendPacketTest, LinkLostByteResynchronisesAndResends)
{
    OpenQuietly();
    line.Reply({kLinkLost});
    line.Reply({kNAK});                // probe answer
    line.Reply({kACK});                // speed packet
    line.Reply({kACK});                // the resent packet
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), kACK);
    ASSERT_EQ(line.frames.size(), 4u);
    EXPECT_EQ(line.frames[1].bytes, Bytes{kProbe});
    EXPECT_EQ(line.frames[2].bytes[1], kSpeedLetter);
    EXPECT_EQ(line.frames[3].bytes, kPacket);
    EXPECT_EQ(line.frames[3].pacing, 0); // 0xFF steps the pacing like a time-out
}

TEST_F(SendPacketTest, LinkLostWithFailedResyncFailsTheExchange)
{
    OpenQuietly();
    line.Reply({kLinkLost});
    line.Reply({kACK}); // wrong answer to the probe
    EXPECT_EQ(comm.SendPacket(kPacket.data(), 8), 0);
    EXPECT_EQ(line.frames.size(), 2u);
}

TEST_F(SendPacketTest, BigPacketsInALongTransferGoNormallyThenPause48Ms)
{
    struct Upload : CCameraComm {
        using CCameraComm::CCameraComm;
        void SetLong() { m_bLongTransfer = 1; m_nPacing = 1; }
    } upload(line, clock);
    OpenQuietly();
    upload.SetLong();
    const Bytes big = DataPacket(0x02, 0, Filled(129));
    line.Reply({kACK}, 0);
    const uint32_t start = Now();
    EXPECT_EQ(upload.SendPacket(big.data(), 135), kACK);
    EXPECT_EQ(upload.PacingMode(), -1);
    // The write itself went out with pacing 1 (2 ms a byte), then 48 ms.
    EXPECT_EQ(line.writes[0].pacing, 1);
    EXPECT_EQ(Now() - start, 135u * 2 + 48);
}

TEST_F(SendPacketTest, ReadControlByteSkipsUpToFiveStrayBytes)
{
    OpenQuietly();
    line.Inject({0x41, 0x42, 0x43, 0x44, 0x45, kACK});
    uint8_t b = 0;
    EXPECT_TRUE(comm.ReadControlByte(&b));
    EXPECT_EQ(b, kACK);
    line.Inject({0x41, 0x42, 0x43, 0x44, 0x45, 0x46, kACK});
    EXPECT_FALSE(comm.ReadControlByte(&b));
}

TEST_F(SendPacketTest, ControlByteWriteNeedsOneByteWritten)
{
    EXPECT_FALSE(comm.SendControlByte(kACK)); // port closed
    OpenQuietly();
    EXPECT_TRUE(comm.SendControlByte(kACK));
    EXPECT_EQ(line.frames.back().bytes, Bytes{kACK});
}

} // namespace
} // namespace oskel::test
