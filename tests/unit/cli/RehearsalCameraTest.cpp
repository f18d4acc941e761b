// The camera a dry run rehearses on is made from what was read from the real
// one; a corrupt record must not make it take unbounded memory.
#include "rehearsal/RehearsalCamera.h"

#include "platform/ProfileFile.h"
#include "programs/ProgramCatalog.h"
#include "support/EmulatedCamera.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace oskel::cli {
namespace {

TEST(RehearsalCameraTest, ARecordClaimingMoreThanACameraHoldsIsRefusedNotAllocated)
{
    emulator::CameraConfig config;
    config.programs = {test::EmulatedCamera::Sample("CLOCK.FNC"), test::EmulatedCamera::Sample("SLIDES.FNC")};
    test::EmulatedCamera camera(config);
    test::TempDir dir;
    ProfileFile settings(dir / "QUIVRAN.INI");
    const std::unique_ptr<CCameraHolder> holder = camera.MakeHolder(settings);
    ProgramCatalog catalog(*holder);
    ASSERT_TRUE(catalog.RefreshCameraList(&catalog.CameraList()));
    ASSERT_EQ(catalog.cameraCount, 2);

    std::string why;
    ASSERT_TRUE(RehearsalCamera::Seed(holder->Connection(), catalog, 100000, &why)) << why;
    catalog.cameraRecords[2].SetStoredSize(0xFFFFFFF0u);
    EXPECT_FALSE(RehearsalCamera::Seed(holder->Connection(), catalog, 100000, &why));
    EXPECT_NE(why.find("corrupt"), std::string::npos) << why;
}

} // namespace
} // namespace oskel::cli
