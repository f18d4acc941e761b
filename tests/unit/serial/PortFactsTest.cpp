#include "serial/PortFacts.h"

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

} // namespace
} // namespace oskel::test
