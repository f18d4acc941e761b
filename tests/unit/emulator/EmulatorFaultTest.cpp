// Scripted faults: each misbehaviour fires exactly where it is counted and
// the PC side sees what a misbehaving camera would show it.
#include "EmulatorRig.h"

#include "emulator/FaultScript.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::CameraConfig;
using emulator::Fault;
using emulator::FaultKind;
using emulator::FaultScript;
using emulator::StoredProgram;

bool Upload(EmulatorRig& rig, const std::string& fileName)
{
    const emulator::CameraName name = NameOf(fileName);
    MemorySource source(SampleFile(fileName));
    return rig.comm.UploadProgram(reinterpret_cast<const char*>(name.data()), &source) != 0;
}

CameraConfig WithTwoPrograms()
{
    CameraConfig config;
    for (const char* f : {"CLOCK.FNC", "TIMER.FNC"})
        config.programs.push_back(StoredProgram{NameOf(f), SampleFile(f)});
    return config;
}

struct Linked : EmulatorRig {
    explicit Linked(CameraConfig config = CameraConfig()) : EmulatorRig(std::move(config))
    {
        EXPECT_TRUE(comm.Open());
    }
    void Arm(FaultKind kind, int nth = 1, int times = 1, int64_t argument = -1)
    {
        camera.Faults().Add(Fault{kind, nth, times, argument});
    }
};

TEST(EmulatorFault, NakAndDc1OfTheNthPacketAreResentUntilTheSixthAttempt)
{
    for (FaultKind kind : {FaultKind::Nak, FaultKind::Dc1}) {
        Linked rig;
        rig.Arm(kind, 2, 5); // the second packet from now, five times
        EXPECT_TRUE(rig.comm.SetReg1(1));
        EXPECT_TRUE(rig.comm.SetReg1(1)); // sent six times, the last one answered
        EXPECT_EQ(rig.LogCount("-> fault:"), 5);
        rig.Arm(kind, 1, 6);
        EXPECT_FALSE(rig.comm.SetReg1(1));
    }
}

TEST(EmulatorFault, LinkLostAndStrayBytes)
{
    Linked rig;
    rig.Arm(FaultKind::StrayBytes, 1, 1, 5);
    EXPECT_EQ(rig.comm.GetReg16(), 100); // five stray bytes are skipped
    rig.Arm(FaultKind::StrayBytes, 1, 1, 6);
    EXPECT_TRUE(rig.comm.SetReg1(1));    // six are not: time-out and resend
    EXPECT_EQ(rig.comm.PacingMode(), 0); // the resend went byte by byte
    rig.clock.WaitMs(50);
    rig.comm.PurgeBuffers(); // the first packet's late ACK
    rig.Arm(FaultKind::LinkLost);
    EXPECT_TRUE(rig.comm.SetReg1(1));
    EXPECT_EQ(rig.LogCount("probe answered"), 2); // Open, then the resync
}

TEST(EmulatorFault, SilenceForAWhileAndForGood)
{
    Linked rig;
    rig.Arm(FaultKind::Silence, 1, 1, 1500);
    const uint64_t start = rig.NowMs();
    EXPECT_TRUE(rig.comm.SetReg1(1)); // answered once the camera speaks again
    EXPECT_GE(rig.NowMs() - start, 1500u);
    rig.Arm(FaultKind::Silence, 1, 1, 0);
    EXPECT_FALSE(rig.comm.SetReg1(1));
    rig.comm.Close();
    EXPECT_FALSE(rig.comm.Open());
}

TEST(EmulatorFault, RefusedDataPacketsOfAnUploadAreResentAndStoredOnce)
{
    Linked rig;
    rig.Arm(FaultKind::Nak, 3, 2); // the second data packet, twice
    rig.Arm(FaultKind::Dc1, 6);    // and the last one
    EXPECT_TRUE(Upload(rig, "SLIDES.FNC"));
    EXPECT_EQ(rig.LogCount("data STX seq 1 len 2016 -> fault"), 2);
    EXPECT_EQ(rig.LogCount("data ETX seq 2 len 56 -> fault: DC1"), 1);
    ASSERT_EQ(rig.camera.Programs().Count(), 1);
    EXPECT_EQ(rig.camera.Programs().At(1)->data, SampleFile("SLIDES.FNC"));
}

// A data packet sent again because the camera's ACK went astray is taken
// once and acknowledged, also after the sequence number has wrapped at 256.
TEST(EmulatorFault, DataPacketSentAgainAfterTheSequenceWrapsIsTakenOnce)
{
    Linked rig;
    const emulator::CameraName name = NameOf("BIG.FNC");
    ASSERT_TRUE(rig.comm.SetRegisterBytes(58, name.data(), 12));
    std::vector<uint8_t> file = SampleFile("CLOCK.FNC");
    file.resize(300, 0x5A);
    auto send = [&](size_t index, uint8_t type) {
        uint8_t packet[7] = {};
        packet[4] = file[index];
        FrameData(packet, type, static_cast<uint8_t>(index), 1);
        uint32_t n = 0;
        rig.line.WritePort(packet, sizeof packet, &n, -1);
        uint8_t answer = 0;
        rig.line.ReadPort(&answer, 1, &n);
        return n == 1 ? answer : 0;
    };
    for (size_t i = 0; i + 1 < file.size(); ++i) {
        ASSERT_EQ(send(i, kSTX), kACK) << "packet " << i;
        if (i == 0 || i == 255 || i == 256) {
            EXPECT_EQ(send(i, kSTX), kACK) << "packet " << i << " again";
        }
    }
    ASSERT_EQ(send(file.size() - 1, kETX), kACK);
    ASSERT_TRUE(rig.comm.DoAction(11, 0));
    EXPECT_TRUE(rig.comm.WaitForEnq(15000));
    ASSERT_EQ(rig.camera.Programs().Count(), 1);
    EXPECT_EQ(rig.camera.Programs().At(1)->data, file);
}

TEST(EmulatorFault, PcCancelAfterBadPacketsEndsTheCamerasTransfer)
{
    Linked rig;
    uint8_t small[8];
    int received = 0;
    // The model text does not fit: six NAKs, then the PC cancels.
    EXPECT_FALSE(rig.comm.ReadObjectToBuffer(27, small, sizeof small, &received));
    EXPECT_EQ(rig.LogCount("CAN: transfer cancelled"), 1);
    EXPECT_EQ(rig.comm.GetReg1(), 1);
}

TEST(EmulatorFault, MissingEnqAfterUploadAndErase)
{
    Linked rig(WithTwoPrograms());
    rig.Arm(FaultKind::NoEnqAfterUpload);
    uint64_t start = rig.NowMs();
    EXPECT_TRUE(Upload(rig, "SLIDES.FNC")); // true after the full 15 s wait
    EXPECT_GE(rig.NowMs() - start, 15000u + 1500u);
    EXPECT_EQ(rig.comm.GetProgramCount(), 3);

    rig.Arm(FaultKind::NoEnqAfterErase);
    start = rig.NowMs();
    EXPECT_FALSE(rig.comm.DeleteProgram(1));
    EXPECT_GE(rig.NowMs() - start, 40000u);
    EXPECT_TRUE(rig.comm.DeleteProgram(1)); // counted once only
}

TEST(EmulatorFault, CountUnchangedAfterUploadOrErase)
{
    Linked rig(WithTwoPrograms());
    rig.Arm(FaultKind::CountUnchangedAfterUpload);
    EXPECT_TRUE(Upload(rig, "SLIDES.FNC"));
    EXPECT_EQ(rig.comm.GetProgramCount(), 2);
    rig.Arm(FaultKind::CountUnchangedAfterErase);
    EXPECT_TRUE(rig.comm.DeleteProgram(1));
    EXPECT_EQ(rig.comm.GetProgramCount(), 2);
}

TEST(EmulatorFault, FailingEraseIsRefusedOnlyAsOftenAsScripted)
{
    Linked rig(WithTwoPrograms());
    rig.Arm(FaultKind::FailErase);
    EXPECT_FALSE(rig.comm.DeleteProgram(2));
    EXPECT_EQ(rig.comm.GetProgramCount(), 2);
    EXPECT_TRUE(rig.comm.DeleteProgram(2));
    EXPECT_EQ(rig.comm.GetProgramCount(), 1);
}

TEST(EmulatorFault, LowBatteryAndFailedModelText)
{
    Linked rig;
    rig.Arm(FaultKind::LowBattery, 2, 1, 12);
    EXPECT_EQ(rig.comm.GetReg16(), 100);
    EXPECT_EQ(rig.comm.GetReg16(), 12);
    EXPECT_EQ(rig.comm.GetReg16(), 12); // it stays low
    rig.Arm(FaultKind::FailModelText);
    char model[65] = {};
    EXPECT_FALSE(rig.comm.GetModelText(model));
    EXPECT_TRUE(rig.comm.GetModelText(model));
}

TEST(EmulatorFault, RandomFaultsAreAbsorbedAndRepeatable)
{
    std::vector<std::string> logs[2];
    for (auto& log : logs) {
        Linked rig;
        rig.camera.Faults().SetRandom(1234, 150);
        for (int i = 0; i < 40; ++i) {
            EXPECT_TRUE(rig.comm.SetReg35(1 + i % 7));
            EXPECT_EQ(rig.comm.GetReg35(), 1 + i % 7);
        }
        EXPECT_GE(rig.LogCount("fault"), 5);
        log = rig.log;
    }
    EXPECT_EQ(logs[0], logs[1]);
}

TEST(EmulatorFault, ParseAcceptsTheDocumentedFormsAndExplainsMistakes)
{
    Fault f;
    std::string error;
    ASSERT_TRUE(FaultScript::Parse("silence@7:2000", &f, &error));
    EXPECT_EQ(f.kind, FaultKind::Silence);
    EXPECT_EQ(f.nth, 7);
    EXPECT_EQ(f.argument, 2000);
    ASSERT_TRUE(FaultScript::Parse("fail-model-text@1x6", &f, &error));
    EXPECT_EQ(f.kind, FaultKind::FailModelText);
    EXPECT_EQ(f.times, 6);
    ASSERT_TRUE(FaultScript::Parse("dc1", &f, &error));
    EXPECT_EQ(f.nth, 1);
    EXPECT_FALSE(FaultScript::Parse("nak@0", &f, &error));
    EXPECT_NE(error.find("nak@0"), std::string::npos);
    EXPECT_FALSE(FaultScript::Parse("bogus@2", &f, &error));
    EXPECT_NE(error.find("unknown kind"), std::string::npos);
    EXPECT_FALSE(FaultScript::Parse("stray@2:-1", &f, &error));
    for (const char* incomplete : {"nak@", "nak@3x", "nak:", "silence@2x1:"}) {
        EXPECT_FALSE(FaultScript::Parse(incomplete, &f, &error)) << incomplete;
        EXPECT_NE(error.find("missing"), std::string::npos) << error;
    }
}

} // namespace
} // namespace oskel::test
