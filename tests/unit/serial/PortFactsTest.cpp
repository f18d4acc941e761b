#include "serial/PortFacts.h"
#include "serial/UsbSerialAdapters.h"
#include "camera/ConnectFailureText.h"

#include "support/FakeSystemTree.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace oskel::test {
namespace {

// A USB adapter (ttyUSB0 on an FTDI chip, with its by-id link), a USB modem
// class device (ttyACM0) and a built-in UART behind the kernel's generic
// serial-base port device.
class PortFactsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.AddTty("ttyUSB0", "pci0/usb1/1-2/1-2:1.0/ttyUSB0", "usb-serial/drivers/ftdi_sio");
        tree.AddUsbDevice("pci0/usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        tree.AddByIdLink("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
        tree.AddTty("ttyACM0", "pci0/usb1/1-3/1-3:1.0", "usb/drivers/cdc_acm");
        tree.AddUsbDevice("pci0/usb1/1-3", "2341", "0043", "Maker", "Board", "");
        tree.AddTty("ttyS0", "pnp0/00:00/00:00:0/00:00:0.0", "serial-base/drivers/port");
        tree.BindDriver("pnp0/00:00/00:00:0", "serial-base/drivers/ctrl");
        tree.BindDriver("pnp0/00:00", "pnp/drivers/serial");
    }

    FakeSystemTree tree;
};

TEST_F(PortFactsTest, UsbAdapterIsDescribedByItsDeviceAndByItsByIdName)
{
    const std::string byId = tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    for (const std::string& device : {tree.Dev("ttyUSB0"), byId}) {
        const PortFacts f = GatherPortFacts(device, tree.Roots());
        EXPECT_TRUE(f.exists);
        EXPECT_EQ(f.byId, byId);
        EXPECT_EQ(f.driver, "ftdi_sio");
        EXPECT_TRUE(f.usb);
        EXPECT_EQ(f.vendorId + ":" + f.productId, "0403:6001");
        EXPECT_EQ(f.manufacturer + "|" + f.product + "|" + f.serial, "FTDI|FT232R USB UART|A50285BI");
        EXPECT_TRUE(f.accessible);
        EXPECT_TRUE(f.holders.empty());
    }
}

TEST_F(PortFactsTest, ModemClassDeviceAndBuiltInUartAndMissingDevice)
{
    PortFacts f = GatherPortFacts(tree.Dev("ttyACM0"), tree.Roots());
    EXPECT_EQ(f.driver, "cdc_acm");
    EXPECT_EQ(f.vendorId + ":" + f.productId + " " + f.product, "2341:0043 Board");
    EXPECT_EQ(f.byId, "");

    f = GatherPortFacts(tree.Dev("ttyS0"), tree.Roots());
    EXPECT_EQ(f.driver, "serial") << "the generic serial-base device is passed over";
    EXPECT_FALSE(f.usb);

    f = GatherPortFacts(tree.Dev("ttyUSB9"), tree.Roots());
    EXPECT_FALSE(f.exists);
    EXPECT_FALSE(f.accessible);
}

TEST_F(PortFactsTest, HoldersAreTheProcessesWithADescriptorOnTheDevice)
{
    tree.AddProcess(812, "ModemManager", tree.Dev("ttyUSB0"));
    tree.AddProcess(900, "bash", "/dev/pts/0");
    tree.AddProcess(77, "picocom", tree.Dev("ttyUSB0"));
    // The kernel cuts comm to 15 characters; the command line has the name whole.
    tree.AddProcess(4242, "oskel-uploader-", tree.Dev("ttyUSB0"),
                    std::string("/usr/bin/oskel-uploader-cli\0list\0", 33));
    tree.AddProcess(1, "systemd");
    const PortFacts f = GatherPortFacts(tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"),
                                        tree.Roots());
    ASSERT_EQ(f.holders.size(), 3u);
    std::vector<std::string> named;
    for (const PortHolder& h : f.holders)
        named.push_back(HoldersText({h}));
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, (std::vector<std::string>{"ModemManager (pid 812)", "oskel-uploader-cli (pid 4242)",
                                               "picocom (pid 77)"}));
    EXPECT_EQ(FindProcess("ModemManager", tree.Roots().proc), 812);
    EXPECT_EQ(FindProcess("cupsd", tree.Roots().proc), 0);
}

TEST_F(PortFactsTest, LatencyTimerIsReadBackAndAboveTwoMsTheLineSaysHowToLowerIt)
{
    tree.AddFile("sys/devices/pci0/usb1/1-2/1-2:1.0/ttyUSB0/latency_timer", "16\n");
    EXPECT_EQ(GatherPortFacts(tree.Dev("ttyUSB0"), tree.Roots()).latencyTimerMs, 16);
    EXPECT_EQ(GatherPortFacts(tree.Dev("ttyACM0"), tree.Roots()).latencyTimerMs, -1);
    EXPECT_EQ(LatencyTimerLine("ttyUSB0", 1), "latency timer 1 ms");
    EXPECT_EQ(LatencyTimerLine("ttyUSB0", 2), "latency timer 2 ms");
    const std::string slow = LatencyTimerLine("ttyUSB0", 16);
    EXPECT_NE(slow.find("echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"), std::string::npos)
        << slow;
    EXPECT_EQ(slow.find('\n'), std::string::npos);
}

// A CH340 the braille service has taken: no tty below it. The FTDI adapter
// with its ttyUSB0 is not named.
TEST_F(PortFactsTest, AdapterWithoutPortIsNamedWithBrlttyAndTheFixWhenItIsInstalled)
{
    EXPECT_TRUE(FindAdaptersWithoutPort(tree.Roots()).empty());
    tree.AddUsbDevice("pci0/usb1/1-4", "1a86", "7523", "", "USB Serial", "");
    tree.AddFile("sys/devices/pci0/usb1/1-4/1-4:1.0/bInterfaceClass", "ff\n");
    const std::vector<UsbSerialAdapter> found = FindAdaptersWithoutPort(tree.Roots());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Text(), "1a86:7523 CH340, USB Serial");

    ConnectFailure noPort;
    noPort.kind = ConnectFailure::NoPort;
    noPort.open = OpenError{OpenError::NoDevice, "", 2};
    for (bool brltty : {false, true}) {
        if (brltty)
            tree.AddFile("usr/lib/udev/rules.d/85-brltty.rules");
        const std::string text = DescribeConnectFailure(noPort, tree.Roots());
        EXPECT_TRUE(text.starts_with("A USB serial adapter (1a86:7523 CH340, USB Serial) is plugged in, but the "
                                     "system gave it no serial port."))
            << text;
        EXPECT_EQ(text.find("brltty") != std::string::npos, brltty) << text;
        EXPECT_EQ(text.find("sudo systemctl mask brltty-udev.service") != std::string::npos, brltty) << text;
    }
}

} // namespace
} // namespace oskel::test
