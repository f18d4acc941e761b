// Registers, texts and objects as the camera serves them, with the checks it
// makes on every command packet.
#include "EmulatorRig.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::CameraConfig;
using emulator::Fault;
using emulator::FaultKind;

std::vector<uint8_t> WriteAndRead(EmulatorRig& rig, const std::vector<uint8_t>& packet, int want)
{
    uint32_t n = 0;
    rig.line.WritePort(packet.data(), static_cast<int>(packet.size()), &n, -1);
    std::vector<uint8_t> got(static_cast<size_t>(want));
    rig.line.ReadPort(got.data(), want, &n);
    got.resize(n);
    return got;
}

TEST(EmulatorExchange, RegisterValuePacketIsExact)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    std::vector<uint8_t> cmd(8);
    BuildGetRegister(cmd.data(), 28);
    const uint32_t free = rig.camera.Programs().Free();
    const std::vector<uint8_t> got = WriteAndRead(rig, cmd, 10);
    std::vector<uint8_t> want = {kETX, 0, 4, 0, 0, 0, 0, 0, 0, 0};
    PutLe32(want.data() + 4, free);
    PutLe16(want.data() + 8, Checksum(want.data() + 4, 4));
    EXPECT_EQ(got, want);
}

TEST(EmulatorExchange, BadChecksumAndBadLengthAreRefusedWithNak)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    std::vector<uint8_t> cmd(12);
    BuildSetRegister(cmd.data(), 4, 2);
    cmd[10] ^= 1;
    EXPECT_EQ(WriteAndRead(rig, cmd, 1), std::vector<uint8_t>{kNAK});
    int32_t value = -1;
    ASSERT_TRUE(rig.camera.PeekRegister(4, &value));
    EXPECT_EQ(value, 0);

    // A GetRegister with a length field of 3: wrong for the command.
    std::vector<uint8_t> odd = {kESC, 'C', 3, 0, 1, 55, 0, 56, 0};
    EXPECT_EQ(WriteAndRead(rig, odd, 1), std::vector<uint8_t>{kNAK});

    // A length beyond any command: the camera waits for a quiet line first.
    std::vector<uint8_t> huge = {kESC, 'C', 0xFF, 0xFF, 1, 2, 3};
    const uint64_t start = rig.clock.NowUs();
    EXPECT_EQ(WriteAndRead(rig, huge, 1), std::vector<uint8_t>{kNAK});
    EXPECT_GE(rig.clock.NowUs() - start, emulator::CameraEngine::kDiscardGapUs);

    // Afterwards the camera takes commands as before.
    EXPECT_TRUE(rig.comm.SetRegister(4, 2));
    ASSERT_TRUE(rig.camera.PeekRegister(4, &value));
    EXPECT_EQ(value, 2);
}

TEST(EmulatorExchange, RegisterReadIsRetriedAfterACorruptedReply)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    rig.camera.Faults().Add(Fault{FaultKind::CorruptChecksum, 1, 1, -1});
    const uint64_t start = rig.NowMs();
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    // NAK, the camera's resend (purged by the PC after 300 ms), then the
    // command again and a good reply.
    EXPECT_EQ(rig.LogCount("corrupted checksum"), 1);
    EXPECT_EQ(rig.LogCount("PC>CAM pc  19200 cam  19200  NAK"), 1);
    EXPECT_EQ(rig.LogCount("GetRegister 55"), 2);
    EXPECT_GE(rig.NowMs() - start, 300u);
}

TEST(EmulatorExchange, UnknownRegistersActionsAndObjectsAreRefused)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    int32_t value = 0;
    EXPECT_FALSE(rig.comm.GetRegister(200, &value));
    EXPECT_FALSE(rig.comm.DoAction(3, 0));
    uint8_t buffer[16];
    int received = 0;
    EXPECT_FALSE(rig.comm.ReadObjectToBuffer(99, buffer, sizeof buffer, &received));
}

TEST(EmulatorExchange, CommandSetRegistersHavePlausibleDefaults)
{
    CameraConfig config;
    config.battery = 73;
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    EXPECT_EQ(rig.comm.GetReg1(), 1);
    EXPECT_EQ(rig.comm.GetReg16(), 73);
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    EXPECT_EQ(rig.comm.GetFreeMemory(0), static_cast<int>(config.capacityBytes));
    EXPECT_EQ(rig.comm.GetItemCount(nullptr), config.itemCount);
    EXPECT_EQ(rig.comm.GetReg65(), 2);
    EXPECT_TRUE(rig.comm.SetReg35(7));
    EXPECT_EQ(rig.comm.GetReg35(), 7);
    int32_t v = 0;
    EXPECT_TRUE(rig.comm.SetReg54(600));
    EXPECT_TRUE(rig.comm.GetReg54(&v));
    EXPECT_EQ(v, 600);
    EXPECT_EQ(rig.LogCount("SetRegister 51 = 1"), 1);
    EXPECT_EQ(rig.LogCount("SetRegister 51 = 0"), 1);
}

TEST(EmulatorExchange, TextsAreReadInSeveralPacketsAndWrittenBack)
{
    CameraConfig config;
    config.objectPacketSize = 10;
    config.modelText = "SR82 test camera with a long model text";
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    char model[65] = {};
    ASSERT_TRUE(rig.comm.GetModelText(model));
    EXPECT_STREQ(model, config.modelText.c_str());
    // 39 characters and the closing zero: four packets of 10.
    EXPECT_EQ(rig.LogCount("data STX seq"), 3);
    EXPECT_EQ(rig.LogCount("data ETX seq 3 len 10"), 1);

    ASSERT_TRUE(rig.comm.SetCameraId("0123456789012345678901234567890123456789"));
    char id[33] = {};
    ASSERT_TRUE(rig.comm.GetCameraId(id));
    EXPECT_EQ(std::string(id), "01234567890123456789012345678901");
}

TEST(EmulatorExchange, ObjectPacketRefusedByThePcIsSentAgain)
{
    CameraConfig config;
    config.objectPacketSize = 16;
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    rig.camera.Faults().Add(Fault{FaultKind::CorruptChecksum, 2, 1, -1});
    char version[33] = {};
    ASSERT_TRUE(rig.comm.GetCameraVersion(version));
    EXPECT_STREQ(version, config.cameraVersion.c_str());
}

TEST(EmulatorExchange, PictureItemsServeTheirObjects)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    int32_t values[4] = {};
    ASSERT_TRUE(rig.comm.GetItemInfo(2, &values[0], &values[1], &values[2], &values[3]));
    EXPECT_EQ(values[2], 2);
    EXPECT_EQ(rig.comm.GetItemReg12(2), values[0]);
    std::vector<uint8_t> buffer(static_cast<size_t>(values[1]) + 10);
    EXPECT_EQ(rig.comm.ReadItem15ToBuffer(2, buffer.data(), static_cast<int>(buffer.size())), values[1]);
    ASSERT_TRUE(rig.comm.ActionItem7(1));
    ASSERT_TRUE(rig.comm.WaitForEnq(5000));
    EXPECT_EQ(rig.comm.GetItemCount(nullptr), 2);
}

} // namespace
} // namespace oskel::test
