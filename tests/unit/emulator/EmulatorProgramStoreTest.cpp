// Uploads, the directory record, erasures, program count and free memory.
#include "EmulatorRig.h"

#include "emulator/ProgramStore.h"
#include "protocol/ProgramInfoRecord.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::CameraConfig;
using emulator::StoredProgram;

CameraConfig WithPrograms(std::initializer_list<const char*> files)
{
    CameraConfig config;
    for (const char* f : files)
        config.programs.push_back(StoredProgram{NameOf(f), SampleFile(f)});
    return config;
}

bool Upload(EmulatorRig& rig, const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    const emulator::CameraName name = NameOf(fileName);
    MemorySource source(bytes);
    return rig.comm.UploadProgram(reinterpret_cast<const char*>(name.data()), &source) != 0;
}

TEST(EmulatorProgramStore, UploadOf2200BytesGoesAs128And2016And56AndIsStoredByAction11)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    const std::vector<uint8_t> file = SampleFile("SLIDES.FNC");
    ASSERT_EQ(file.size(), 2200u);
    const int freeBefore = rig.comm.GetFreeMemory(0);
    ASSERT_TRUE(Upload(rig, "SLIDES.FNC", file));
    EXPECT_EQ(rig.LogCount("program upload announced as \"SLIDES  FNC\""), 1);
    EXPECT_EQ(rig.LogCount("data STX seq 0 len 128"), 1);
    EXPECT_EQ(rig.LogCount("data STX seq 1 len 2016"), 1);
    EXPECT_EQ(rig.LogCount("data ETX seq 2 len 56"), 1);
    EXPECT_EQ(rig.LogCount("stored in slot 1 (2200 bytes)"), 1);
    ASSERT_EQ(rig.camera.Programs().Count(), 1);
    EXPECT_EQ(rig.camera.Programs().At(1)->data, file);
    EXPECT_EQ(rig.comm.GetProgramCount(), 1);
    EXPECT_EQ(rig.comm.GetFreeMemory(0), freeBefore - 2200);
}

TEST(EmulatorProgramStore, NothingIsStoredBeforeAction11)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    const emulator::CameraName name = NameOf("CLOCK.FNC");
    MemorySource source(SampleFile("CLOCK.FNC"));
    ASSERT_TRUE(rig.comm.SendObject(58, &source, 12, name.data()));
    EXPECT_TRUE(rig.camera.UploadPending());
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    ASSERT_TRUE(rig.comm.DoAction(11, 0));
    EXPECT_TRUE(rig.comm.WaitForEnq(15000));
    EXPECT_EQ(rig.comm.GetProgramCount(), 1);
}

TEST(EmulatorProgramStore, DirectoryRecordIsBuiltFromTheStoredHeader)
{
    EmulatorRig rig(WithPrograms({"CLOCK.FNC", "FRAMEB.ATC"}));
    ASSERT_TRUE(rig.comm.Open());
    ASSERT_EQ(rig.comm.GetProgramCount(), 2);
    ProgramInfoRecord record;
    ASSERT_TRUE(rig.comm.ReadProgramInfo(2, &record));
    EXPECT_EQ(std::string(record.CameraName(), 12), std::string("FRAMEB  ATC\0", 12));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.Signature()), 7), "KAVRA+~");
    EXPECT_EQ(record.Kind(), 5);
    EXPECT_EQ(record.AppId(), 0x21);
    EXPECT_EQ(record.CopyFlag(), 1);
    EXPECT_EQ(record.Version(), 0x0100);
    EXPECT_EQ(record.StoredSize(), 1300u);
    const std::string field(reinterpret_cast<const char*>(record.DisplayNameField()), 40);
    EXPECT_EQ(field, "Frame: Stamp~" + std::string(27, ' '));
}

TEST(EmulatorProgramStore, EraseRemovesTheSelectedProgramAndClosesTheGap)
{
    EmulatorRig rig(WithPrograms({"CLOCK.FNC", "FRAMES.FNC", "FRAMEA.ATC"}));
    ASSERT_TRUE(rig.comm.Open());
    const int freeBefore = rig.comm.GetFreeMemory(0);
    const uint64_t start = rig.NowMs();
    ASSERT_TRUE(rig.comm.DeleteProgram(2));
    // ENQ comes after the configured erase time.
    EXPECT_GE(rig.NowMs() - start, rig.camera.Config().eraseEnqDelayMs);
    EXPECT_EQ(rig.comm.GetProgramCount(), 2);
    EXPECT_EQ(rig.comm.GetFreeMemory(0), freeBefore + 4000);
    ProgramInfoRecord record;
    ASSERT_TRUE(rig.comm.ReadProgramInfo(2, &record));
    EXPECT_EQ(std::string(record.CameraName(), 11), "FRAMEA  ATC");
}

TEST(EmulatorProgramStore, ReadyOnlyAfterEnqAndTheReadyDelay)
{
    CameraConfig config;
    config.enqDelayMs = 400;
    config.readyDelayMs = 250;
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    ASSERT_TRUE(rig.comm.Action2());
    const uint64_t acked = rig.NowMs();
    uint8_t b = 0;
    ASSERT_TRUE(rig.comm.ReadControlByte(&b));
    EXPECT_EQ(b, 0x05);
    EXPECT_GE(rig.NowMs() - acked, 400u);
    int32_t ready = -1;
    ASSERT_TRUE(rig.comm.GetRegister(18, &ready));
    EXPECT_EQ(ready, 0);
    rig.clock.WaitMs(260);
    ASSERT_TRUE(rig.comm.GetRegister(18, &ready));
    EXPECT_EQ(ready, 1);
}

TEST(EmulatorProgramStore, OtherObjectsAreBoundedByTheWholeMemory)
{
    CameraConfig config;
    config.capacityBytes = 4000;
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    MemorySource tooBig(std::vector<uint8_t>(5000, 0x5A));
    EXPECT_FALSE(rig.comm.SendObject(29, &tooBig, 0, nullptr));
    EXPECT_EQ(rig.LogCount("CAN (memory full)"), 1);
    MemorySource fits(std::vector<uint8_t>(3000, 0x5A));
    EXPECT_TRUE(rig.comm.SendObject(29, &fits, 0, nullptr));
}

TEST(EmulatorProgramStore, AProgramThatDoesNotFitIsCancelled)
{
    CameraConfig config;
    config.capacityBytes = 4000;
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    EXPECT_FALSE(Upload(rig, "TIMER.FNC", SampleFile("TIMER.FNC")));
    EXPECT_EQ(rig.LogCount("CAN (memory full)"), 1);
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    EXPECT_TRUE(Upload(rig, "CLOCK.FNC", SampleFile("CLOCK.FNC")));
    EXPECT_EQ(rig.comm.GetFreeMemory(0), 1000);
}

TEST(EmulatorProgramStore, InvalidFilesAreAcknowledgedButNotStored)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.Open());
    for (const char* f : {"BROKEN.FNC", "SHORT.ATC", "LEGACY.FNC"})
        EXPECT_TRUE(Upload(rig, f, SampleFile(f))) << f;
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    EXPECT_EQ(rig.LogCount("not stored"), 3);
}

TEST(EmulatorProgramStore, FamilyFourCameraTakesTheOtherSignature)
{
    CameraConfig config;
    config.modelText = "SR52 older camera";
    EmulatorRig rig(config);
    ASSERT_TRUE(rig.comm.Open());
    EXPECT_TRUE(Upload(rig, "LEGACY.FNC", SampleFile("LEGACY.FNC")));
    EXPECT_TRUE(Upload(rig, "CLOCK.FNC", SampleFile("CLOCK.FNC")));
    EXPECT_EQ(rig.comm.GetProgramCount(), 1);
}

TEST(EmulatorProgramStore, SampleSetHoldsValidAndInvalidFiles)
{
    emulator::ProgramStore plus(1u << 20, "KAVRA+~");
    emulator::ProgramStore plain(1u << 20, "KAVRA~");
    int validPlus = 0;
    int validPlain = 0;
    for (const auto& p : emulator::SampleSet(emulator::SampleSignatures::Both)) {
        validPlus += plus.Accepts(emulator::MakeProgramFile(p), nullptr) ? 1 : 0;
        validPlain += plain.Accepts(emulator::MakeProgramFile(p), nullptr) ? 1 : 0;
    }
    EXPECT_EQ(validPlus, 8);
    EXPECT_EQ(validPlain, 2);
    for (const auto& p : emulator::SampleSet(emulator::SampleSignatures::Plain))
        EXPECT_EQ(emulator::MakeProgramFile(p).size(), p.size);
}

} // namespace
} // namespace oskel::test
