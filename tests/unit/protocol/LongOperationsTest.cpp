#include "protocol/CameraNumbers.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "support/CommFixture.h"
#include "support/CommandFrames.h"

namespace oskel::test {
namespace {

const char kName[kCameraNameSize] = "PROG    FNC";

class LongOperationsTest : public CommFixture {
protected:
    void SetUp() override { OpenQuietly(); }

    size_t CountFrames(const Bytes& bytes) const
    {
        size_t n = 0;
        for (const auto& f : line.frames)
            n += f.bytes == bytes ? 1 : 0;
        return n;
    }
};

// ---- upload ---------------------------------------------------------------

TEST_F(LongOperationsTest, UploadAnnouncesTheNameSendsTheFileAndInstallsIt)
{
    MemorySource source(Filled(2200));
    std::vector<bool> longDuringReads;
    source.onRead = [&] { longDuringReads.push_back(comm.LongTransfer()); };
    for (int i = 0; i < 4; ++i)
        line.Reply({kACK});       // announce, 128, 2016, 56
    line.Reply({kACK, kENQ});     // action 11, and the camera is done
    ReplyRegister(line, 1);       // ready
    EXPECT_TRUE(comm.UploadProgram(kName, &source));

    ASSERT_EQ(line.frames.size(), 7u);
    Bytes announce{0x1B, 0x43, 0x0E, 0x00, 0x03, 0x3A};
    announce.insert(announce.end(), kName, kName + 12);
    uint32_t sum = 0x03 + 0x3A;
    for (char c : kName)
        sum += static_cast<uint8_t>(c);
    announce.push_back(static_cast<uint8_t>(sum & 0xFF));
    announce.push_back(static_cast<uint8_t>(sum >> 8));
    EXPECT_EQ(line.frames[0].bytes, announce);

    EXPECT_EQ(line.frames[1].bytes.size(), 128u + 6u);
    EXPECT_EQ(line.frames[2].bytes.size(), 2016u + 6u);
    EXPECT_EQ(line.frames[3].bytes.size(), 56u + 6u);
    EXPECT_EQ(line.frames[3].bytes[0], kETX);
    // A big packet during the upload is followed by 48 ms.
    EXPECT_EQ(line.frames[3].tick - line.frames[2].tick, 48u);
    EXPECT_EQ(line.frames[2].pacing, -1);

    EXPECT_EQ(line.frames[4].bytes, ActionFrame(11));
    EXPECT_EQ(line.frames[4].tick - line.frames[3].tick, 1500u);
    EXPECT_EQ(line.frames[5].bytes, GetRegFrame(18));
    EXPECT_EQ(line.frames[5].tick - line.frames[4].tick, 300u);

    EXPECT_EQ(longDuringReads, std::vector<bool>(3, true));
    EXPECT_FALSE(comm.LongTransfer());
    EXPECT_FALSE(comm.ActionPending());
    EXPECT_EQ(source.ends, 1);
}

TEST_F(LongOperationsTest, UploadWithoutEnqStillSucceedsAfterFifteenSeconds)
{
    MemorySource source(Filled(100));
    line.Reply({kACK});
    line.Reply({kACK});
    line.Reply({kACK}); // action 11; then nothing more from the camera
    EXPECT_TRUE(comm.UploadProgram(kName, &source));
    ASSERT_EQ(line.frames.size(), 3u); // no readiness polls without ENQ
    const uint32_t waited = Now() - line.frames[2].tick;
    EXPECT_GT(waited, 300u + 15000u);
    EXPECT_LT(waited, 300u + 15000u + 600u);
    EXPECT_FALSE(comm.LongTransfer());
    EXPECT_FALSE(comm.ActionPending());
}

TEST_F(LongOperationsTest, UploadFailuresClearTheLongTransferFlag)
{
    MemorySource refused(Filled(100));
    line.Reply({kCAN}); // announce refused
    EXPECT_FALSE(comm.UploadProgram(kName, &refused));
    EXPECT_EQ(line.frames.size(), 1u);
    EXPECT_FALSE(comm.LongTransfer());
    EXPECT_EQ(refused.ends, 1);

    MemorySource notInstalled(Filled(100));
    line.frames.clear();
    line.Reply({kACK});
    line.Reply({kACK});
    line.Reply({kCAN}); // action 11 refused
    EXPECT_FALSE(comm.UploadProgram(kName, &notInstalled));
    EXPECT_EQ(line.frames.size(), 3u);
    EXPECT_FALSE(comm.LongTransfer());

    const size_t writes = line.writes.size();
    EXPECT_FALSE(comm.UploadProgram(nullptr, &notInstalled));
    EXPECT_FALSE(comm.UploadProgram(kName, nullptr));
    EXPECT_EQ(line.writes.size(), writes);
}

TEST_F(LongOperationsTest, SystemDataWithFlagClearWaitsSevenSecondsInsteadOfEnq)
{
    comm.SetSystemDataValues({0x11223344, -7});
    MemorySource source(Filled(50));
    for (int i = 0; i < 4; ++i)
        line.Reply({kACK}); // reg 32, announce, data, action 11
    EXPECT_TRUE(comm.UploadSystemData(&source, 0));
    ASSERT_EQ(line.frames.size(), 4u);
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(32, -7));
    EXPECT_EQ(line.frames[1].bytes, SendObjectFrame(29));
    EXPECT_EQ(line.frames[1].tick - line.frames[0].tick, 150u);
    EXPECT_EQ(line.frames[3].bytes, ActionFrame(11));
    EXPECT_EQ(line.frames[3].tick - line.frames[2].tick, 1500u);
    EXPECT_EQ(Now() - line.frames[3].tick, 300u + 7000u);
    EXPECT_FALSE(comm.LongTransfer());
}

TEST_F(LongOperationsTest, SystemDataWithFlagSetWaitsForEnq)
{
    comm.SetSystemDataValues({0x11223344, -7});
    MemorySource source(Filled(50));
    for (int i = 0; i < 3; ++i)
        line.Reply({kACK});
    line.Reply({kACK, kENQ});
    ReplyRegister(line, 1);
    EXPECT_TRUE(comm.UploadSystemData(&source, 1));
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(32, 0x11223344));
    EXPECT_EQ(line.frames[4].bytes, GetRegFrame(18));

    line.frames.clear();
    line.Reply({kCAN}); // reg 32 refused: nothing is sent
    EXPECT_FALSE(comm.UploadSystemData(&source, 1));
    EXPECT_EQ(line.frames.size(), 1u);
    EXPECT_FALSE(comm.LongTransfer());
}

// ---- delete ---------------------------------------------------------------

TEST_F(LongOperationsTest, DeleteWithoutEnqFailsAfterFortySeconds)
{
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_FALSE(comm.DeleteProgram(3));
    ASSERT_EQ(line.frames.size(), 2u);
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(56, 3));
    EXPECT_EQ(line.frames[1].bytes, ActionFrame(13));
    const uint32_t waited = Now() - line.frames[1].tick;
    EXPECT_GT(waited, 300u + 40000u);
    EXPECT_LT(waited, 300u + 40000u + 600u);
    EXPECT_FALSE(comm.ActionPending());
}

TEST_F(LongOperationsTest, DeleteWaitsForEnqThenForReadiness)
{
    line.Reply({kACK});
    line.Reply({kACK, kENQ});
    ReplyRegister(line, 0, 100);
    ReplyRegister(line, 0, 100);
    ReplyRegister(line, 1, 100);
    EXPECT_TRUE(comm.DeleteProgram(1));
    EXPECT_EQ(CountFrames(GetRegFrame(18)), 3u);
    EXPECT_EQ(line.frames[2].tick - line.frames[1].tick, 300u);

    line.frames.clear();
    line.Reply({kCAN}); // selection refused: no action
    EXPECT_FALSE(comm.DeleteProgram(1));
    EXPECT_EQ(line.frames.size(), 1u);
}

TEST_F(LongOperationsTest, EnqWaitEndsAtAnyOtherControlByte)
{
    line.Reply({kACK, kCAN});
    ASSERT_TRUE(comm.DoAction(13, 0));
    EXPECT_TRUE(comm.ActionPending());
    EXPECT_FALSE(comm.WaitForEnq(40000));
    EXPECT_FALSE(comm.ActionPending());
    EXPECT_EQ(Now(), 0u);
}

// ---- readiness ------------------------------------------------------------

TEST_F(LongOperationsTest, IsReadyWithAnActionPendingNeedsEnqFirst)
{
    line.Reply({kACK});
    ASSERT_TRUE(comm.DoAction(11, 0));
    EXPECT_FALSE(comm.IsReady());
    EXPECT_EQ(line.frames.size(), 1u); // reg 18 was not asked
    EXPECT_TRUE(comm.ActionPending());
}

TEST_F(LongOperationsTest, WaitReadyPollsUntilTheTimeOut)
{
    for (int i = 0; i < 30; ++i)
        ReplyRegister(line, 0, 100);
    EXPECT_FALSE(comm.WaitReady(1000));
    EXPECT_GT(Now(), 1000u);
    EXPECT_LE(Now(), 1100u);
    EXPECT_EQ(CountFrames(GetRegFrame(18)), 11u);

    line.frames.clear();
    EXPECT_FALSE(comm.WaitReady(0)); // a single poll
    EXPECT_EQ(CountFrames(GetRegFrame(18)), 1u);
}

// ---- free memory ----------------------------------------------------------

TEST_F(LongOperationsTest, FreeMemoryIsReadInsideTheRegister51Bracket)
{
    line.Reply({kACK});
    ReplyRegister(line, 81920);
    line.Reply({kACK});
    EXPECT_EQ(comm.GetFreeMemory(0), 81920);
    ASSERT_EQ(line.frames.size(), 4u);
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(51, 1));
    EXPECT_EQ(line.frames[1].bytes, GetRegFrame(28));
    EXPECT_EQ(line.frames[3].bytes, SetRegFrame(51, 0));
    EXPECT_EQ(Now(), 0u);

    line.frames.clear();
    ReplyRegister(line, 4096);
    EXPECT_EQ(comm.GetFreeMemory(1), 4096);
    EXPECT_EQ(line.frames[0].bytes, GetRegFrame(28));
}

TEST_F(LongOperationsTest, FreeMemoryWithRegister51StuckWaitsTenSeconds)
{
    line.Reply({kACK});
    ReplyRegister(line, 81920);
    line.Reply({kCAN});
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetFreeMemory(0), 81920);
    ASSERT_EQ(line.frames.size(), 5u);
    EXPECT_EQ(line.frames[4].bytes, SetRegFrame(51, 0));
    EXPECT_EQ(Now() - line.frames[4].tick, 10000u);

    // One retry that works needs no pause.
    line.frames.clear();
    const uint32_t start = Now();
    line.Reply({kACK});
    ReplyRegister(line, 100);
    line.Reply({kCAN});
    line.Reply({kACK});
    EXPECT_EQ(comm.GetFreeMemory(0), 100);
    EXPECT_EQ(Now(), start);
}

TEST_F(LongOperationsTest, FreeMemoryFailures)
{
    line.Reply({kCAN}); // reg 51 cannot be set: nothing else happens
    EXPECT_EQ(comm.GetFreeMemory(0), -1);
    EXPECT_EQ(line.frames.size(), 1u);

    line.frames.clear();
    line.Reply({kACK});
    line.Reply({kCAN}); // the read fails; reg 51 still goes back to 0
    line.Reply({kACK});
    EXPECT_EQ(comm.GetFreeMemory(0), -1);
    EXPECT_EQ(line.frames.back().bytes, SetRegFrame(51, 0));
}

} // namespace
} // namespace oskel::test
