#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "support/CommFixture.h"
#include "support/MemorySource.h"

#include <algorithm>
#include <string>

namespace oskel::test {
namespace {

class ExchangesTest : public CommFixture {};

TEST_F(ExchangesTest, GetRegisterDeliversTheValueAndAcknowledges)
{
    OpenQuietly();
    line.Reply(RegisterReply(-123456));
    int32_t value = 0;
    EXPECT_TRUE(comm.GetRegister(55, &value));
    EXPECT_EQ(value, -123456);
    ASSERT_EQ(line.frames.size(), 2u);
    EXPECT_EQ(line.frames[1].bytes, Bytes{kACK});
}

TEST_F(ExchangesTest, GetRegisterAnsweredWithAckFailsAtOnce)
{
    OpenQuietly();
    line.Reply({kACK});
    int32_t value = 7;
    EXPECT_FALSE(comm.GetRegister(1, &value));
    EXPECT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(Now(), 0u);
}

TEST_F(ExchangesTest, GetRegisterBadChecksumIsNakedAndAskedAgain)
{
    OpenQuietly();
    line.Reply(BadChecksumRegisterReply(5));
    line.ReplySilence(); // the NAK itself gets no answer
    line.Reply(RegisterReply(5));
    int32_t value = 0;
    EXPECT_TRUE(comm.GetRegister(16, &value));
    EXPECT_EQ(value, 5);
    ASSERT_EQ(line.frames.size(), 4u);
    EXPECT_EQ(line.frames[1].bytes, Bytes{kNAK});
    EXPECT_EQ(line.frames[2].bytes, line.frames[0].bytes);
    EXPECT_EQ(line.frames[2].tick, 300u); // 300 ms pause, then a purge
    EXPECT_GE(line.clears, 1);
}

TEST_F(ExchangesTest, GetRegisterFailsAfterSixBadReplies)
{
    OpenQuietly();
    for (int i = 0; i < 6; ++i) {
        line.Reply(BadChecksumRegisterReply(5));
        line.ReplySilence();
    }
    int32_t value = 0;
    EXPECT_FALSE(comm.GetRegister(16, &value));
    EXPECT_EQ(line.frames.size(), 12u);
}

TEST_F(ExchangesTest, RegisterReplyWithWrongLengthIsRetriedWithoutNak)
{
    OpenQuietly();
    line.Reply(DataPacket(kETX, 0, {1, 2, 3, 4, 5}));
    line.Reply(RegisterReply(9));
    int32_t value = 0;
    EXPECT_TRUE(comm.GetRegister(16, &value));
    EXPECT_EQ(value, 9);
    ASSERT_EQ(line.frames.size(), 3u);
    EXPECT_EQ(line.frames[1].bytes, line.frames[0].bytes);
}

TEST_F(ExchangesTest, SetRegisterAndActionNeedAck)
{
    OpenQuietly();
    line.Reply({kACK});
    EXPECT_TRUE(comm.SetRegister(4, 1));
    line.Reply({kCAN});
    EXPECT_FALSE(comm.SetRegister(4, 1));
    EXPECT_FALSE(comm.ActionPending());
    line.Reply({kACK});
    EXPECT_TRUE(comm.DoAction(11, 0));
    EXPECT_TRUE(comm.ActionPending());
}

TEST_F(ExchangesTest, ExchangesOnAClosedPortFailWithoutWriting)
{
    EXPECT_FALSE(comm.SetRegister(4, 1));
    EXPECT_FALSE(comm.DoAction(1, 0));
    EXPECT_TRUE(line.writes.empty());
}

TEST_F(ExchangesTest, SetRegisterBytesRefusesMoreThan2040Bytes)
{
    OpenQuietly();
    const Bytes data(2041, 'x');
    EXPECT_FALSE(comm.SetRegisterBytes(37, data.data(), 2041));
    EXPECT_TRUE(line.writes.empty());
    line.Reply({kACK});
    EXPECT_TRUE(comm.SetRegisterBytes(37, data.data(), 2040));
    EXPECT_EQ(line.frames[0].bytes.size(), 2048u);
}

TEST_F(ExchangesTest, ObjectReadAnsweredWithAckIsEmpty)
{
    OpenQuietly();
    line.Reply({kACK});
    uint8_t buffer[32];
    int received = -1;
    EXPECT_TRUE(comm.ReadObjectToBuffer(57, buffer, 32, &received));
    EXPECT_EQ(received, 0);
}

TEST_F(ExchangesTest, ObjectReadOfZeroLengthSendsNoAck)
{
    OpenQuietly();
    line.Reply(DataPacket(kETX, 0, {}));
    uint8_t buffer[32];
    int received = -1;
    EXPECT_TRUE(comm.ReadObjectToBuffer(57, buffer, 32, &received));
    EXPECT_EQ(received, 0);
    EXPECT_EQ(line.frames.size(), 1u);
}

TEST_F(ExchangesTest, ObjectReadInSeveralPackets)
{
    OpenQuietly();
    line.Reply(DataPacket(kSTX, 0, Filled(30, 0)));
    line.Reply(DataPacket(kSTX, 1, Filled(30, 30)));
    line.Reply(DataPacket(kETX, 2, Filled(12, 60)));
    uint8_t buffer[72] = {};
    int received = 0;
    EXPECT_TRUE(comm.ReadObjectToBuffer(57, buffer, 72, &received));
    EXPECT_EQ(received, 72);
    EXPECT_EQ(Bytes(buffer, buffer + 72), Filled(72, 0));
    EXPECT_EQ(line.frames.size(), 4u); // command and three ACKs
}

TEST_F(ExchangesTest, OversizedObjectPacketsAreNakedThenCancelled)
{
    OpenQuietly();
    const Bytes tooBig = DataPacket(kETX, 0, Filled(40));
    for (int i = 0; i < 6; ++i)
        line.Reply(tooBig);
    line.Reply({kACK}); // answer to the CAN packet
    uint8_t guard[64];
    std::fill(std::begin(guard), std::end(guard), 0xEE);
    int received = 0;
    EXPECT_FALSE(comm.ReadObjectToBuffer(47, guard, 32, &received));
    EXPECT_EQ(received, 0);
    for (int i = 32; i < 64; ++i)
        ASSERT_EQ(guard[i], 0xEE) << "wrote past the capacity at " << i;
    ASSERT_EQ(line.frames.size(), 7u);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(line.frames[i].bytes, Bytes{kNAK});
    EXPECT_EQ(line.frames[6].bytes, Bytes{kCAN});
    EXPECT_EQ(Now(), 6u * 500);
}

TEST_F(ExchangesTest, ObjectReadCancelsOnAnUnexpectedAnswer)
{
    OpenQuietly();
    line.Reply({kENQ});
    uint8_t buffer[8];
    int received = 0;
    EXPECT_FALSE(comm.ReadObjectToBuffer(57, buffer, 8, &received));
    EXPECT_EQ(line.frames.back().bytes, Bytes{kCAN});
}

class RecordingSink : public ITransferSink {
public:
    int Begin() override { return ++begins, accept ? 1 : 0; }
    int Put(const uint8_t* bytes, int length) override
    {
        data.insert(data.end(), bytes, bytes + length);
        return ++puts > failPutAfter ? 0 : 1;
    }
    int Abort() override { return ++aborts; }
    int Finish() override { return ++finishes; }

    bool accept = true;
    int failPutAfter = 1000;
    int begins = 0, puts = 0, aborts = 0, finishes = 0;
    Bytes data;
};

TEST_F(ExchangesTest, SinkThatRefusesSendsNothing)
{
    OpenQuietly();
    RecordingSink sink;
    sink.accept = false;
    EXPECT_FALSE(comm.ReadObjectToSink(14, &sink));
    EXPECT_TRUE(line.writes.empty());
    EXPECT_FALSE(comm.ReadObjectToSink(14, nullptr));
}

TEST_F(ExchangesTest, SinkReceivesFullSizePacketsWithoutOverrun)
{
    OpenQuietly();
    line.Reply(DataPacket(kSTX, 0, Filled(4096, 1)));
    line.Reply(DataPacket(kETX, 1, Filled(10, 2)));
    RecordingSink sink;
    EXPECT_TRUE(comm.ReadObjectToSink(14, &sink));
    EXPECT_EQ(sink.data, Concat({Filled(4096, 1), Filled(10, 2)}));
    EXPECT_EQ(sink.finishes, 1);
    EXPECT_EQ(sink.aborts, 0);
}

TEST_F(ExchangesTest, SinkThatCannotStoreCancelsTheTransfer)
{
    OpenQuietly();
    line.Reply(DataPacket(kSTX, 0, Filled(8)));
    RecordingSink sink;
    sink.failPutAfter = 0;
    EXPECT_FALSE(comm.ReadObjectToSink(14, &sink));
    EXPECT_EQ(sink.aborts, 1);
    EXPECT_EQ(line.frames.back().bytes, Bytes{kCAN});
}

class SendObjectTest : public CommFixture {
protected:
    // Sends an object of `size` bytes to a camera that acknowledges
    // everything; returns the data packets' lengths and types.
    std::vector<std::pair<uint8_t, int>> Send(size_t size)
    {
        OpenQuietly();
        line.SetResponder([](const Bytes&) { return Bytes{kACK}; });
        MemorySource source(Filled(size));
        EXPECT_TRUE(comm.SendObject(58, &source, 0, nullptr));
        EXPECT_EQ(source.ends, 1);
        std::vector<std::pair<uint8_t, int>> packets;
        Bytes received;
        for (size_t i = 1; i < line.frames.size(); ++i) {
            const Bytes& f = line.frames[i].bytes;
            const int n = f[2] | (f[3] << 8);
            EXPECT_EQ(f[1], static_cast<uint8_t>(i - 1)) << "sequence";
            EXPECT_EQ(GetLe16(f.data() + 4 + n), Checksum(f.data() + 4, static_cast<size_t>(n)));
            received.insert(received.end(), f.begin() + 4, f.begin() + 4 + n);
            packets.emplace_back(f[0], n);
        }
        EXPECT_EQ(received, Filled(size));
        return packets;
    }
};

using Packets = std::vector<std::pair<uint8_t, int>>;

TEST_F(SendObjectTest, PieceSizesAre128Then2016)
{
    EXPECT_EQ(Send(100), (Packets{{kETX, 100}}));
}

TEST_F(SendObjectTest, AnObjectEndingAtABoundaryEndsWithAnEmptyPacket)
{
    EXPECT_EQ(Send(128), (Packets{{kSTX, 128}, {kETX, 0}}));
    EXPECT_EQ(line.frames.back().bytes, (Bytes{kETX, 1, 0, 0, 0, 0}));
}

TEST_F(SendObjectTest, LargeObjectGoesAs128And2016AndTheRest)
{
    EXPECT_EQ(Send(2200), (Packets{{kSTX, 128}, {kSTX, 2016}, {kETX, 56}}));
}

TEST_F(SendObjectTest, PrefixIsAnnouncedAsRegisterBytes)
{
    OpenQuietly();
    line.SetResponder([](const Bytes&) { return Bytes{kACK}; });
    const std::string name = "PROG    FNC";
    MemorySource source(Filled(10));
    EXPECT_TRUE(comm.SendObject(58, &source, 12, reinterpret_cast<const uint8_t*>(name.c_str())));
    const Bytes& announce = line.frames[0].bytes;
    EXPECT_EQ(Bytes(announce.begin(), announce.begin() + 6), (Bytes{0x1B, 0x43, 0x0E, 0x00, 0x03, 0x3A}));
    EXPECT_EQ(announce.size(), 20u);
}

TEST_F(SendObjectTest, SourceErrorStopsWithoutFurtherPackets)
{
    OpenQuietly();
    line.SetResponder([](const Bytes&) { return Bytes{kACK}; });
    MemorySource source(Filled(5000));
    source.failAtRead = 1;
    EXPECT_FALSE(comm.SendObject(58, &source, 0, nullptr));
    EXPECT_EQ(line.frames.size(), 2u); // the announcement and the first piece
    EXPECT_EQ(source.ends, 1);
}

TEST_F(SendObjectTest, RefusedAnnouncementEndsTheSource)
{
    OpenQuietly();
    line.Reply({kCAN});
    MemorySource source(Filled(10));
    EXPECT_FALSE(comm.SendObject(58, &source, 0, nullptr));
    EXPECT_EQ(source.ends, 1);
    EXPECT_EQ(line.frames.size(), 1u);
}

} // namespace
} // namespace oskel::test
