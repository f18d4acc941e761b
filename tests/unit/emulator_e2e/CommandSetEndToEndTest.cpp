// Uploading, listing and deleting programs through the camera communication
// object, against the in-process camera.
#include "protocol/ProgramInfoRecord.h"
#include "unit/emulator/EmulatorRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oskel::test {
namespace {

struct Upload {
    std::string fileName;
    std::vector<uint8_t> bytes;
};

bool UploadFile(EmulatorRig& rig, const Upload& file)
{
    const emulator::CameraName name = NameOf(file.fileName);
    MemorySource source(file.bytes);
    return rig.comm.UploadProgram(reinterpret_cast<const char*>(name.data()), &source) != 0;
}

std::vector<std::string> ListNames(EmulatorRig& rig)
{
    std::vector<std::string> names;
    const int count = rig.comm.GetProgramCount();
    for (int slot = 1; slot <= count; ++slot) {
        ProgramInfoRecord record;
        if (!rig.comm.ReadProgramInfo(slot, &record))
            return {"<record " + std::to_string(slot) + " unreadable>"};
        names.emplace_back(record.CameraName(), 11);
    }
    return names;
}

TEST(CommandSetEndToEnd, UploadListAndDeletePrograms)
{
    EmulatorRig rig;
    ASSERT_TRUE(rig.comm.SetSpeed(115200));
    ASSERT_TRUE(rig.comm.Open());
    ASSERT_EQ(rig.comm.GetProgramCount(), 0);
    const int freeAtStart = rig.comm.GetFreeMemory(0);
    ASSERT_GT(freeAtStart, 0);

    const std::vector<Upload> files = {{"CLOCK.FNC", SampleFile("CLOCK.FNC")},
                                       {"FRAMES.FNC", SampleFile("FRAMES.FNC")},
                                       {"FRAMEA.ATC", SampleFile("FRAMEA.ATC")}};
    int expectedFree = freeAtStart;
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].fileName);
        ASSERT_FALSE(files[i].bytes.empty());
        const uint64_t start = rig.NowMs();
        ASSERT_TRUE(UploadFile(rig, files[i]));
        // At least the fixed pauses, and ended by the camera's ENQ, not by the time-out.
        EXPECT_GE(rig.NowMs() - start, 1800u);
        EXPECT_LT(rig.NowMs() - start, 15000u);
        EXPECT_FALSE(rig.comm.LongTransfer());
        EXPECT_EQ(rig.comm.GetProgramCount(), static_cast<int>(i + 1));
        expectedFree -= static_cast<int>(files[i].bytes.size());
    }
    EXPECT_EQ(rig.comm.GetFreeMemory(0), expectedFree);

    EXPECT_EQ(ListNames(rig), (std::vector<std::string>{"CLOCK   FNC", "FRAMES  FNC", "FRAMEA  ATC"}));
    ProgramInfoRecord clock;
    ASSERT_TRUE(rig.comm.ReadProgramInfo(1, &clock));
    EXPECT_EQ(clock.Kind(), 3);
    EXPECT_EQ(clock.Version(), 0x0102);
    EXPECT_EQ(clock.StoredSize(), files[0].bytes.size());
    ProgramInfoRecord attachment;
    ASSERT_TRUE(rig.comm.ReadProgramInfo(3, &attachment));
    EXPECT_EQ(attachment.Kind(), 5);
    EXPECT_EQ(attachment.AppId(), 0x21);

    // Delete from the middle, then the rest from the front.
    const uint64_t start = rig.NowMs();
    ASSERT_TRUE(rig.comm.DeleteProgram(2));
    EXPECT_LT(rig.NowMs() - start, 40000u);
    EXPECT_EQ(ListNames(rig), (std::vector<std::string>{"CLOCK   FNC", "FRAMEA  ATC"}));
    ASSERT_TRUE(rig.comm.DeleteProgram(1));
    ASSERT_TRUE(rig.comm.DeleteProgram(1));
    EXPECT_EQ(rig.comm.GetProgramCount(), 0);
    EXPECT_EQ(rig.comm.GetFreeMemory(0), freeAtStart);
    EXPECT_EQ(rig.camera.Programs().Count(), 0);

    // The whole session ran on the first handshake.
    EXPECT_EQ(rig.LogCount("probe 0x00"), 1);
    EXPECT_TRUE(rig.comm.Close());
}

} // namespace
} // namespace oskel::test
