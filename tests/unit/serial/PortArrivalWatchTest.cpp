#include "serial/PortArrivalWatch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oskel::test {
namespace {

namespace fs = std::filesystem;

TEST(PortArrivalWatch, TellsSerialDevicesAndNamedPathsFromOtherNewFiles)
{
    TempDir dev;
    TempDir links;
    fs::create_directories(dev / "serial/by-id");
    PortArrivalWatch watch({links / "camera"}, dev.Path());
    ASSERT_GE(watch.Fd(), 0);
    EXPECT_FALSE(watch.TakeArrivals());

    struct Step {
        const char* what;
        std::string path;
        bool counts;
    };
    const Step steps[] = {
        {"a USB adapter", dev / "ttyUSB0", true},
        {"another device", dev / "video0", false},
        {"a by-id name", dev / "serial/by-id/usb-FTDI-if00-port0", true},
        {"the named link", links / "camera", true},
        {"another file beside it", links / "notes", false},
    };
    for (const Step& step : steps) {
        WriteFileBytes(step.path, "");
        EXPECT_EQ(watch.TakeArrivals(), step.counts) << step.what;
    }
    // udev giving a device its group and mode counts as well.
    fs::permissions(dev / "ttyUSB0", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(watch.TakeArrivals());
}

} // namespace
} // namespace oskel::test
