// oskel-uploader-cli as a separate process, with its settings in a
// temporary folder: against missing and silent devices, and against
// camera-emulator on a pty.
#include "integration/CliRunner.h"
#include "emulator/EmulatorProcess.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace oskel::test {
namespace {

using emulator::EmulatorProcess;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class CliProgram : public ::testing::Test {
protected:
    std::string Settings() const { return ReadFileBytes(config / "QUIVRAN.INI").value_or(""); }

    TempDir config;
};

TEST_F(CliProgram, UsageErrorsAndHelp)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"probe", "--port", "COM0"}, {"probe", "--speed", "14400"}, {"--bogus", "about"}}) {
        const CliRun run = RunCli(config.Path(), args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_TRUE(Contains(run.err, "usage: oskel-uploader-cli")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliRun help = RunCli(config.Path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Contains(help.out, "--accept-unknown-models"));
    EXPECT_FALSE(std::filesystem::exists(config / "QUIVRAN.INI")) << "a usage error touches no settings";
}

TEST_F(CliProgram, ANonexistentDeviceIsNamed)
{
    const CliRun run = RunCli(config.Path(), {"--device", "/nonexistent/ttyUSB9", "probe"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, "No such device: /nonexistent/ttyUSB9")) << run.err;
}

TEST_F(CliProgram, ASilentLineIsToldApartFromAMissingDevice)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const CliRun run = RunCli(config.Path(), {"--device", pty.slavePath(), "--port", "1", "--speed", "19200", "probe"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(Contains(run.err, "did not answer")) << run.err;
    // The options were for this run: nothing of them is stored.
    EXPECT_FALSE(Contains(Settings(), "Port=")) << Settings();
    EXPECT_FALSE(Contains(Settings(), "Speed=")) << Settings();
}

TEST_F(CliProgram, ProbeClimbsToTheTopSpeedAndAboutReadsTheTexts)
{
    const std::string link = config / "camera";
    EmulatorProcess emulator(OSKEL_CAMERA_EMULATOR, link, {"--id", "EMU-CAMERA-7   ", "--version", "FW 3.01"});
    ASSERT_TRUE(std::filesystem::is_symlink(link));

    const CliRun probe = RunCli(config.Path(), {"--device", link, "probe"});
    ASSERT_EQ(probe.status, 0) << probe.err;
    EXPECT_EQ(probe.out, "Port: COM1 (" + link + ")\n"
                         "Speed: 230400\n"
                         "Model: SR82 OSKEL camera emulator\n"
                         "Family: 5 (supported)\n");
    const std::string settings = Settings();
    EXPECT_FALSE(Contains(settings, "Port=")) << "--device is for this run only\n" << settings;
    EXPECT_TRUE(Contains(settings, "Camera=82\n")) << settings;

    // The link was closed, so the camera is back at 19200 and the next run's
    // handshake brings it up again.
    const CliRun about = RunCli(config.Path(), {"--device", link, "about"});
    ASSERT_EQ(about.status, 0) << about.err;
    EXPECT_EQ(about.out, "Camera Id: EMU-CAMERA-7\nCamera Version: FW 3.01\n");
    EXPECT_EQ(about.err, "");
}

TEST_F(CliProgram, ThePortsSectionNamesTheDeviceWithoutTheOption)
{
    const std::string link = config / "camera";
    EmulatorProcess emulator(OSKEL_CAMERA_EMULATOR, link, {"--model", "SR22 older camera"});
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    WriteFileBytes(config / "QUIVRAN.INI", "[Ports]\nCOM2=" + link + "\n[Communication]\nPort=1\nSpeed=38400\n");

    const CliRun refused = RunCli(config.Path(), {"probe"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(Contains(refused.err, "--accept-older-models")) << refused.err;

    const CliRun admitted = RunCli(config.Path(), {"probe", "--accept-older-models"});
    ASSERT_EQ(admitted.status, 0) << admitted.err;
    EXPECT_EQ(admitted.out, "Port: COM2 (" + link + ")\n"
                            "Speed: 38400\n"
                            "Model: SR22 older camera\n"
                            "Family: 2 (older model, admitted)\n");
    EXPECT_TRUE(Contains(Settings(), "Port=1\n")) << Settings();
    EXPECT_TRUE(Contains(Settings(), "Speed=38400\n")) << Settings();
    EXPECT_FALSE(Contains(Settings(), "Camera=")) << Settings();
}

} // namespace
} // namespace oskel::test
