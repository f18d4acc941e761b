// The names the wire trace and the emulator's log give to what crosses the line.
#include "protocol/Packet.h"
#include "protocol/PacketText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace oskel {
namespace {

std::vector<std::string> FeedInPieces(PacketDecoder& decoder, const std::vector<uint8_t>& bytes, size_t piece)
{
    std::vector<std::string> texts;
    for (size_t i = 0; i < bytes.size(); i += piece) {
        for (std::string& t : decoder.Feed(bytes.data() + i, std::min(piece, bytes.size() - i)))
            texts.push_back(std::move(t));
    }
    return texts;
}

TEST(PacketText, PacketsAreNamedWhereTheyEndHoweverTheBytesArrive)
{
    std::vector<uint8_t> line(64);
    std::vector<uint8_t> bytes;
    auto add = [&](int n) { bytes.insert(bytes.end(), line.begin(), line.begin() + n); };
    add(BuildGetRegister(line.data(), 28));
    add(BuildSpeedPacket(line.data(), 5));
    add(BuildAction(line.data(), 11, 0));
    bytes.push_back(0x06);
    line[4] = line[5] = line[6] = 0x41;
    add(FrameData(line.data(), 0x03, 7, 3));
    bytes.push_back(0x05);
    add(BuildSetRegister(line.data(), 51, -2));
    bytes.back() ^= 1; // a damaged checksum
    const std::vector<std::string> expected = {"GetRegister 28", "speed code 5 (115200 bit/s)",
                                               "Action 11 (argument 0)", "ACK", "data ETX seq 7 len 3", "ENQ",
                                               "SetRegister 51 = -2, bad checksum"};
    for (size_t piece : {size_t{1}, size_t{3}, bytes.size()}) {
        PacketDecoder decoder;
        EXPECT_EQ(FeedInPieces(decoder, bytes, piece), expected) << piece;
        EXPECT_FALSE(decoder.InPacket());
    }
}

TEST(PacketText, AHeaderClaimingMoreThanAPacketHoldsIsToldByteByByte)
{
    const std::vector<uint8_t> bytes = {0x02, 0x00, 0xFF, 0xFF, 0x15};
    PacketDecoder decoder;
    EXPECT_EQ(FeedInPieces(decoder, bytes, 2), (std::vector<std::string>{"STX", "probe 0x00", "0xFF", "0xFF", "NAK"}));
}

} // namespace
} // namespace oskel
