#include "camera/ConnectFailureText.h"

#include "support/FakeSystemTree.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

constexpr const char* kHint = "ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"
                              "into /etc/udev/rules.d/99-oskel-camera.rules";

TEST(BusyPortText, NamesTheHolderAndTellsHowToKeepModemManagerAway)
{
    struct Case {
        const char* name;
        const char* holder; // holding ttyUSB0, or running without a visible descriptor when `holds` is false
        bool holds;
        const char* starts;
        bool hint;
    };
    const Case cases[] = {
        {"a terminal program", "picocom", true, "/dev/ttyUSB0 is in use by picocom (pid 812).", false},
        {"ModemManager", "ModemManager", true, "/dev/ttyUSB0 is in use by ModemManager (pid 812). ModemManager probes",
         true},
        {"ModemManager as root", "ModemManager", false,
         "/dev/ttyUSB0 is in use by another program; ModemManager (pid 812) is running and may be probing it.", true},
        {"nobody visible", "cupsd", false, "/dev/ttyUSB0 is in use by another program.", false},
    };
    for (const Case& c : cases) {
        FakeSystemTree tree;
        tree.AddTty("ttyUSB0", "usb1/1-2/1-2:1.0/ttyUSB0", "usb-serial/drivers/ftdi_sio");
        tree.AddUsbDevice("usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        tree.AddProcess(812, c.holder, c.holds ? tree.Dev("ttyUSB0") : "");
        const std::string text = DescribeBusyPort("/dev/ttyUSB0", tree.Dev("ttyUSB0"), tree.Roots());
        EXPECT_EQ(text.rfind(c.starts, 0), 0u) << c.name << ": " << text;
        EXPECT_EQ(text.find(kHint) != std::string::npos, c.hint) << c.name << ": " << text;
    }
}

TEST(BusyPortText, PortWithoutUsbIdsIsMatchedByItsKernelName)
{
    FakeSystemTree tree;
    tree.AddTty("ttyS1", "pnp0/00:01", "pnp/drivers/serial");
    tree.AddProcess(812, "ModemManager", tree.Dev("ttyS1"));
    const std::string text = DescribeBusyPort("COM2", tree.Dev("ttyS1"), tree.Roots());
    EXPECT_NE(text.find("KERNEL==\"ttyS1\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""), std::string::npos) << text;
}

} // namespace
} // namespace oskel::test
