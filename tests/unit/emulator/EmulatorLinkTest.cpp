// The camera's side of the link: probe, speed change, close, and what a line
// with mismatched speeds does to the bytes.
#include "EmulatorRig.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/SpeedCodes.h"
#include "serial/SerialTimeouts.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::CameraConfig;

TEST(EmulatorLink, ProbeAt19200IsAnsweredWithNakAfterBothWireTimes)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    const uint64_t start = rig.clock.NowUs();
    const uint8_t probe = kProbe;
    uint32_t written = 0;
    ASSERT_TRUE(rig.line.WritePort(&probe, 1, &written, -1));
    // The write returns once the byte has left: 10 bits at 19200 bit/s.
    EXPECT_EQ(rig.clock.NowUs() - start, WireTimeUs(19200, 1));
    uint8_t answer = 0;
    uint32_t read = 0;
    ASSERT_TRUE(rig.line.ReadPort(&answer, 1, &read));
    ASSERT_EQ(read, 1u);
    EXPECT_EQ(answer, kNAK);
    EXPECT_EQ(rig.clock.NowUs() - start, 2 * WireTimeUs(19200, 1) + rig.camera.Config().answerDelayUs);
}

TEST(EmulatorLink, OpenNegotiatesTheRecordedSpeedAndCloseReturnsTo19200)
{
    for (int speed : {9600, 19200, 38400, 57600, 115200, 230400}) {
        EmulatorRig rig;
        rig.comm.SetSpeed(speed);
        ASSERT_TRUE(rig.comm.Open()) << speed;
        EXPECT_EQ(rig.camera.SpeedBps(), speed);
        EXPECT_EQ(rig.comm.GetReg1(), 1) << speed;
        EXPECT_EQ(rig.LogCount("speed code " + std::to_string(SpeedCode(speed))), 1);
        rig.comm.Close();
        rig.clock.AdvanceUs(10000);
        EXPECT_EQ(rig.camera.SpeedBps(), 19200) << speed;
        EXPECT_EQ(rig.LogCount("speed code 0 (close)"), 1) << speed;
    }
}

TEST(EmulatorLink, SpeedChangeWhileLinkedIsAskedAtTheSpeedInUse)
{
    EmulatorRig rig;
    rig.comm.SetSpeed(57600);
    ASSERT_TRUE(rig.comm.Open());
    ASSERT_TRUE(rig.comm.SetSpeed(230400));
    EXPECT_EQ(rig.camera.SpeedBps(), 230400);
    EXPECT_EQ(rig.comm.GetReg7(), 2);
}

TEST(EmulatorLink, CameraSwitchesOnlyAfterItsAckHasLeft)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    uint8_t packet[kSpeedPacketSize];
    BuildSpeedPacket(packet, 5);
    uint32_t written = 0;
    rig.line.WritePort(packet, kSpeedPacketSize, &written, -1);
    // The last byte has just arrived; the ACK is still to come at 19200.
    EXPECT_EQ(rig.camera.SpeedBps(), 19200);
    uint8_t answer = 0;
    uint32_t read = 0;
    rig.line.ReadPort(&answer, 1, &read);
    ASSERT_EQ(answer, kACK);
    EXPECT_EQ(rig.camera.SpeedBps(), 115200);
}

TEST(EmulatorLink, PcSwitchingBeforeTheAckArrivesReadsGarbage)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    uint8_t packet[kSpeedPacketSize];
    BuildSpeedPacket(packet, 5);
    uint32_t written = 0;
    rig.line.WritePort(packet, kSpeedPacketSize, &written, -1);
    ASSERT_TRUE(rig.line.SetBaudRate(115200)); // too early
    uint8_t answer[4] = {};
    uint32_t read = 0;
    rig.line.ReadPort(answer, 4, &read);
    for (uint32_t i = 0; i < read; ++i)
        EXPECT_NE(answer[i], kACK);
    EXPECT_GE(rig.LogCount("garbled toward the PC"), 1);
}

TEST(EmulatorLink, CommandsAtTheWrongSpeedAreGarbledAndGoUnanswered)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(115200)); // the camera is still at 19200
    int32_t value = 0;
    EXPECT_FALSE(rig.comm.GetRegister(55, &value));
    EXPECT_EQ(rig.LogCount("GetRegister"), 0);
    EXPECT_GE(rig.LogCount("garbled: 0x1B sent at 115200"), 1);
    // Same bytes at the camera's speed go through.
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    rig.clock.AdvanceUs(200000);
    rig.line.ClearBuffers();
    EXPECT_TRUE(rig.comm.GetRegister(55, &value));
}

TEST(EmulatorLink, FramingMismatchGarblesAtEqualSpeeds)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    rig.line.SetPcFormat(emulator::LineFormat{19200, 7, emulator::LineFormat::kEven, 1});
    int32_t value = 0;
    EXPECT_FALSE(rig.comm.GetRegister(1, &value));
    EXPECT_EQ(rig.LogCount("GetRegister"), 0);
}

TEST(EmulatorLink, ResyncAfterLinkLossAtHighSpeedRecoversThroughTheBreak)
{
    EmulatorRig rig;
    rig.comm.SetSpeed(115200);
    ASSERT_TRUE(rig.comm.Open());
    rig.camera.Faults().Add(emulator::Fault{emulator::FaultKind::LinkLost, 1, 1, -1});
    // 0xFF makes the PC probe again at 19200 while the camera listens at
    // 115200: the camera sees a break, falls back and answers the probe.
    EXPECT_TRUE(rig.comm.SetReg1(1));
    EXPECT_EQ(rig.LogCount("break on the line"), 1);
    EXPECT_EQ(rig.camera.SpeedBps(), 115200);
}

TEST(EmulatorLink, OnlyTheConfiguredPortsHaveACamera)
{
    EmulatorRig rig(CameraConfig(), {2});
    EXPECT_TRUE(rig.comm.FindPortDefault());
    EXPECT_EQ(rig.comm.GetPort(), 2);
    EXPECT_EQ(rig.line.PortIndex(), 2);
    EXPECT_FALSE(rig.line.OpenPort(10));
}

TEST(EmulatorLink, ClosingThePortWithoutTheClosePacketResetsTheCameraLink)
{
    EmulatorRig rig;
    rig.comm.SetSpeed(38400);
    ASSERT_TRUE(rig.comm.Open());
    rig.line.ClosePort(); // the PC went away without speed code 0
    EXPECT_EQ(rig.camera.SpeedBps(), 19200);
    EXPECT_TRUE(rig.comm.Open());
    EXPECT_EQ(rig.camera.SpeedBps(), 38400);
}

TEST(EmulatorLink, ReadTimeOutMovesTheClockAsTheRealPortWould)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.line.OpenPort(0));
    ASSERT_TRUE(rig.line.SetBaudRate(19200));
    const uint64_t start = rig.clock.NowUs();
    uint8_t b = 0;
    uint32_t read = 7;
    EXPECT_TRUE(rig.line.ReadPort(&b, 1, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(rig.clock.NowUs() - start, 501000u);
}

} // namespace
} // namespace oskel::test
