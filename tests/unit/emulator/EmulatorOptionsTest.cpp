// camera-emulator's settings from the command line and its config file, the
// initial programs, and the dump of the program store.
#include "EmulatorRig.h"

#include "emulator/EmulatorOptions.h"
#include "emulator/ProgramDump.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::EmulatorOptions;
using emulator::ParseEmulatorOptions;

TEST(EmulatorOptions, CommandLineWinsOverTheConfigFile)
{
    TempDir dir;
    WriteFileBytes(dir / "camera.conf", "# a camera\n"
                                        "model = SR52 from the file\n"
                                        "battery = 15\n"
                                        "capacity=100000\n"
                                        "fault = nak@3\n"
                                        "link = /tmp/from-file\n"
                                        "keep-on-close\n"
                                        "store-file = /tmp/store.txt\n");
    EmulatorOptions o;
    std::string error;
    ASSERT_TRUE(ParseEmulatorOptions({"--battery", "-1", "--config", dir / "camera.conf", "--fault=silence@2:900"}, &o,
                                     &error))
        << error;
    EXPECT_EQ(o.camera.modelText, "SR52 from the file");
    EXPECT_EQ(o.camera.battery, -1);
    EXPECT_EQ(o.camera.capacityBytes, 100000u);
    EXPECT_EQ(o.link, "/tmp/from-file");
    EXPECT_TRUE(o.keepOnClose);
    EXPECT_EQ(o.storeFile, "/tmp/store.txt");
    ASSERT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.faults[0].kind, emulator::FaultKind::Nak);
    EXPECT_EQ(o.faults[1].argument, 900);
}

TEST(EmulatorOptions, MistakesNameTheOptionOrLine)
{
    TempDir dir;
    WriteFileBytes(dir / "bad.conf", "model = SR82\nspeed = fast\n");
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"--link", "x", "--capacity", "-5"}, "--capacity"},
        {{"--link", "x", "--items"}, "--items: needs a value"},
        {{"--link", "--quiet"}, "--link: needs a value"},
        {{"--link", "x", "--id", std::string(33, 'i')}, "at most 32"},
        {{"--link", "x", "--random-faults", "7"}, "SEED:PERMILLE"},
        {{"--link", "x", "--fault", "nak@zero"}, "nak@zero"},
        {{"--wobble"}, "unknown option --wobble"},
        {{"--link", "x", "--adapter", "ftdi:0"}, "--adapter: the latency timer of ftdi:0 is not 1 to 255 ms"},
        {{"--link", "x", "--adapter", "usb"}, "--adapter: unknown adapter usb"},
        {{"stray"}, "unexpected argument"},
        {{"--config", dir / "bad.conf", "--link", "x"}, "bad.conf:2: unknown setting \"speed\""},
        {{"--config", dir / "none.conf"}, "cannot read config file"},
        {{"--config", dir.Path(), "--link", "x"}, "cannot read config file"},
        {{"--model", "SR82"}, "--link PATH is required"},
    };
    for (const Case& c : cases) {
        EmulatorOptions o;
        std::string error;
        EXPECT_FALSE(ParseEmulatorOptions(c.args, &o, &error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
    EmulatorOptions help;
    std::string error;
    EXPECT_TRUE(ParseEmulatorOptions({"--help"}, &help, &error));
    EXPECT_TRUE(help.help);
}

TEST(EmulatorOptions, InitialProgramsAreCheckedAsTheCameraWouldStoreThem)
{
    TempDir dir;
    std::string error;
    ASSERT_TRUE(emulator::WriteSamplePrograms(dir.Path(), emulator::SampleSignatures::Both, nullptr, &error));
    EmulatorOptions o;
    ASSERT_TRUE(ParseEmulatorOptions({"--link", "x", "--program", dir / "FRAMES.FNC", "--program",
                                      dir / "FRAMEB.ATC=FRAMEB2.ATC"},
                                     &o, &error));
    ASSERT_TRUE(emulator::LoadInitialPrograms(&o, &error)) << error;
    ASSERT_EQ(o.camera.programs.size(), 2u);
    EXPECT_EQ(o.camera.programs[1].name, NameOf("FRAMEB2.ATC"));

    // A folder, or a device that never ends, is no program file.
    for (const std::string& bad : {dir / "SHORT.ATC", dir / "LEGACY.FNC", dir / "NOFILE.FNC",
                                   dir / "CLOCK.FNC=LONGERTHAN8.FNC", dir.Path() + "=DIR.FNC",
                                   std::string("/dev/zero=ZERO.FNC")}) {
        EmulatorOptions b;
        ASSERT_TRUE(ParseEmulatorOptions({"--link", "x", "--program", bad}, &b, &error));
        EXPECT_FALSE(emulator::LoadInitialPrograms(&b, &error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
    EmulatorOptions tiny;
    ASSERT_TRUE(ParseEmulatorOptions({"--link", "x", "--capacity", "2000", "--program", dir / "CLOCK.FNC"}, &tiny,
                                     &error));
    EXPECT_FALSE(emulator::LoadInitialPrograms(&tiny, &error));
    EXPECT_NE(error.find("not enough free memory"), std::string::npos);
}

TEST(EmulatorOptions, DumpWritesEveryProgramUnderItsCameraName)
{
    TempDir dir;
    emulator::ProgramStore store(1u << 20, "KAVRA+~");
    ASSERT_TRUE(store.Add(NameOf("FRAMEB.ATC"), SampleFile("FRAMEB.ATC")));
    ASSERT_TRUE(store.Add(NameOf("FRAMEB.ATC"), SampleFile("FRAMEB.ATC")));
    ASSERT_TRUE(store.Add(NameOf("CLOCK.FNC"), SampleFile("CLOCK.FNC")));
    std::string error;
    ASSERT_TRUE(emulator::DumpProgramStore(store, dir / "out", &error)) << error;
    const std::vector<uint8_t> frame = SampleFile("FRAMEB.ATC");
    EXPECT_EQ(ReadFileBytes(dir / "out/FRAMEB.ATC"), std::string(frame.begin(), frame.end()));
    EXPECT_TRUE(ReadFileBytes(dir / "out/FRAMEB(2).ATC").has_value());
    const std::string listing = ReadFileBytes(dir / "out/directory.txt").value_or("");
    EXPECT_NE(listing.find(" 3  CLOCK   FNC  kind 3"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Frame: Stamp"), std::string::npos);

    WriteFileBytes(dir / "file", "x");
    EXPECT_FALSE(emulator::DumpProgramStore(store, dir / "file", &error));
}

} // namespace
} // namespace oskel::test
