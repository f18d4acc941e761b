#include "serial/PortOverrides.h"
#include "serial/TermiosSerialOps.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace oskel {
namespace {

using test::TempDir;

TEST(PortOverrides, IndexIsKeyComNumberOfThePortsSection)
{
    TempDir dir;
    test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.Path());
    const auto source = SettingsPortOverrides();
    EXPECT_EQ(source(0), "");  // no settings file yet

    test::WriteFileBytes(dir / "QUIVRAN.INI", "[Communication]\r\nPort=0\r\n[ports]\r\ncom1 = /dev/ttyFIRST\r\n"
                                              "COM2=\r\nCOM10=/tmp/emulator-link\r\nCOM11=/dev/never\r\n");
    EXPECT_EQ(source(0), "/dev/ttyFIRST");
    EXPECT_EQ(source(1), "");
    EXPECT_EQ(source(2), "");
    EXPECT_EQ(source(9), "/tmp/emulator-link");
    EXPECT_EQ(source(10), "");
    EXPECT_EQ(source(-1), "");

    // The file is read at each lookup.
    test::WriteFileBytes(dir / "QUIVRAN.INI", "[Ports]\nCOM1=/dev/ttySECOND\n");
    EXPECT_EQ(source(0), "/dev/ttySECOND");
}

TEST(PortOverrides, TheSharedSerialOpsUseThem)
{
    TempDir dir;
    test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.Path());
    test::WriteFileBytes(dir / "QUIVRAN.INI", "[Ports]\nCOM3=/dev/oskel-test-port\n");
    EXPECT_EQ(TermiosSerialOps::Shared().Ports().DeviceFor(2), "/dev/oskel-test-port");
}

} // namespace
} // namespace oskel
