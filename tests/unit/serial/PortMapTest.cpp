#include "serial/PortMap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace oskel::test {
namespace {

namespace fs = std::filesystem;

// A fake /sys/class/tty and /dev in a temporary folder.
class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("oskel-portmap-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "sys");
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }

    void AddTty(const std::string& name, bool withDevice, int uartType = -1)
    {
        const fs::path dir = root / "sys" / name;
        fs::create_directories(dir);
        if (withDevice)
            fs::create_directories(dir / "device");
        if (uartType >= 0)
            std::ofstream(dir / "type") << uartType << "\n";
        std::ofstream(root / "dev" / name) << "";
    }

    PortMap Map() { return PortMap((root / "sys").string(), (root / "dev").string()); }
    std::string Dev(const std::string& name) { return (root / "dev" / name).string(); }

    fs::path root;
};

TEST_F(PortMapTest, UsbAdaptersComeFirstThenPresentUartsByNumber)
{
    AddTty("ttyS0", true, 4);
    AddTty("ttyS1", true, 0); // no UART behind it
    AddTty("ttyS10", true, 4);
    AddTty("ttyS2", true, 4);
    AddTty("ttyACM0", true);
    AddTty("ttyUSB1", true);
    AddTty("ttyUSB0", true);
    AddTty("tty1", false);
    AddTty("ptmx", false);
    const auto devices = Map().Discover();
    EXPECT_EQ(devices, (std::vector<std::string>{Dev("ttyUSB0"), Dev("ttyUSB1"), Dev("ttyACM0"), Dev("ttyS0"),
                                                 Dev("ttyS2"), Dev("ttyS10")}));
    PortMap map = Map();
    EXPECT_EQ(map.DeviceFor(0), Dev("ttyUSB0"));
    EXPECT_EQ(map.DeviceFor(5), Dev("ttyS10"));
    EXPECT_EQ(map.DeviceFor(6), "");
    EXPECT_EQ(map.DeviceFor(-1), "");
    EXPECT_EQ(map.DeviceFor(10), "");
}

TEST_F(PortMapTest, OverridesTakeTheirIndexAndTheRestFillTheGaps)
{
    AddTty("ttyUSB0", true);
    AddTty("ttyS0", true, 4);
    PortMap map = Map();
    map.SetOverrideSource([this](int index) {
        if (index == 0)
            return std::string("/tmp/camera-link");
        if (index == 9)
            return Dev("ttyS0"); // named explicitly: not listed twice
        return std::string();
    });
    EXPECT_EQ(map.DeviceFor(0), "/tmp/camera-link");
    EXPECT_EQ(map.DeviceFor(1), Dev("ttyUSB0"));
    EXPECT_EQ(map.DeviceFor(2), "");
    EXPECT_EQ(map.DeviceFor(9), Dev("ttyS0"));
    EXPECT_EQ(PortMap::PortName(9), "COM10");
}

TEST_F(PortMapTest, MissingSysfsGivesNoPorts)
{
    PortMap map("/nonexistent/sys", "/dev");
    EXPECT_TRUE(map.Discover().empty());
    EXPECT_EQ(map.DeviceFor(0), "");
}

} // namespace
} // namespace oskel::test
