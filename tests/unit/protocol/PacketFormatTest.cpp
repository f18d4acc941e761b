#include "protocol/Packet.h"
#include "protocol/SpeedCodes.h"
#include "support/CameraBytes.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {


TEST(PacketFormat, CommandPacketsMatchTheCameraExamples)
{
    uint8_t out[64];
    int n = BuildSetRegister(out, 4, 1);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x43, 0x06, 0x00, 0x00, 0x04, 0x01, 0x00, 0x00, 0x00, 0x05, 0x00}));
    n = BuildGetRegister(out, 55);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x43, 0x02, 0x00, 0x01, 0x37, 0x38, 0x00}));
    n = BuildAction(out, 11, 0);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x43, 0x03, 0x00, 0x02, 0x0B, 0x00, 0x0D, 0x00}));
    n = BuildObjectCommand(out, kCmdReadObject, 57);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x43, 0x02, 0x00, 0x04, 0x39, 0x3D, 0x00}));
}

TEST(PacketFormat, SpeedAndClosePackets)
{
    uint8_t out[16];
    int n = BuildSpeedPacket(out, static_cast<uint8_t>(SpeedCode(115200)));
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x53, 0x06, 0x00, 0x00, 0x11, 0x05, 0x00, 0x00, 0x00, 0x16, 0x00}));
    n = BuildSpeedPacket(out, kCloseSpeedCode);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x53, 0x06, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x11, 0x00}));
}

TEST(PacketFormat, SpeedCodesCoverExactlySixSpeeds)
{
    EXPECT_EQ(SpeedCode(9600), 1);
    EXPECT_EQ(SpeedCode(19200), 2);
    EXPECT_EQ(SpeedCode(230400), 6);
    EXPECT_EQ(SpeedCode(14400), -1);
    EXPECT_EQ(SpeedCode(0), -1);
    EXPECT_EQ(SpeedForCode(5), 115200);
    EXPECT_EQ(SpeedForCode(0), 0);
    EXPECT_EQ(SpeedForCode(7), 0);
}

TEST(PacketFormat, ChecksumWrapsAtSixteenBitsAndNegativeValuesAreLittleEndian)
{
    const Bytes ones(300, 0xFF); // 300 x 255 = 76500 = 0x12AD4
    EXPECT_EQ(Checksum(ones.data(), ones.size()), 0x2AD4);
    uint8_t out[16];
    const int n = BuildSetRegister(out, 1, -2);
    EXPECT_EQ(Bytes(out + 6, out + 10), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(GetLe16(out + n - 2), 0 + 1 + 0xFE + 3 * 0xFF);
}

TEST(PacketFormat, RegisterBytesCarryTheDataWithoutTerminator)
{
    uint8_t out[64];
    const Bytes name{'A', 'B', 'C'};
    const int n = BuildRegisterBytes(out, 22, name.data(), 3);
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x1B, 0x43, 0x05, 0x00, 0x03, 0x16, 'A', 'B', 'C', 0xDF, 0x00}));
}

} // namespace
} // namespace oskel::test
