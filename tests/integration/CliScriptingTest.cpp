// What scripts and bug reports get from oskel-uploader-cli against
// camera-emulator on a pty: the dry run, the results as JSON, progress as
// JSON lines and the wire trace.
#include "integration/CliCameraFixture.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace oskel::test {
namespace {

class CliScripting : public CliCameraFixture {};

TEST_F(CliScripting, ADryRunChangesNothingAndTheRealRunThenDoesWhatItTold)
{
    StartEmulator({});
    const std::vector<std::string> upload = {"upload", "--json", "--yes", "SLIDES.FNC", "Frame: Classic"};
    std::vector<std::string> dry = upload;
    dry.push_back("--dry-run");
    const CliRun rehearsed = Cli(dry);
    ASSERT_EQ(rehearsed.status, 0) << rehearsed.err;
    EXPECT_TRUE(Contains(rehearsed.out, "{\"displayName\":\"Frame: Classic\",\"cameraName\":\"FRAMEA.ATC\","
                                        "\"outcome\":\"uploaded\",\"host\":{\"displayName\":\"Frame Host\","
                                        "\"outcome\":\"uploaded\"}"))
        << rehearsed.out;
    EXPECT_TRUE(Contains(Cli({"list", "--json"}).out, "\"camera\":{\"applications\":[]")) << "nothing was stored";

    const CliRun done = Cli(upload);
    ASSERT_EQ(done.status, 0) << done.err;
    std::string expected = rehearsed.out;
    expected.replace(expected.find("\"dryRun\":true"), 13, "\"dryRun\":false");
    EXPECT_EQ(done.out, expected);

    const CliRun removal = Cli({"remove", "--dry-run", "--yes", "Frame: Classic"});
    EXPECT_EQ(removal.status, 0) << removal.err;
    EXPECT_TRUE(Contains(removal.out, "\"Frame: Classic\" (FRAMEA.ATC): would be erased\n"
                                      "  also erased: #1 \"Frame Host\" (FRAMES.FNC)\n"))
        << removal.out;
    EXPECT_TRUE(Contains(Cli({"list"}).out, "Frame: Classic")) << "still in the camera";
}

TEST_F(CliScripting, ProgressAsJsonLinesAndTheWireTrace)
{
    StartEmulator({});
    const std::string trace = config / "trace.txt";
    const CliRun run = Cli({"--trace", trace, "upload", "--progress=json", "--yes", "BIGVIEW.FNC"});
    ASSERT_EQ(run.status, 0) << run.err;

    std::istringstream lines(run.err);
    std::string line, last;
    int steps = 0;
    while (std::getline(lines, line)) {
        if (!line.starts_with("{\"event\":\"progress\",\"item\":1,\"name\":\"Big Viewer\","))
            continue;
        ++steps;
        last = line;
    }
    EXPECT_GE(steps, 3) << run.err;
    EXPECT_TRUE(Contains(last, "\"bytes\":60000,\"total\":60000,\"rate\":")) << last;
    EXPECT_TRUE(Contains(last, "\"timeLeftMs\":0}")) << last;

    const std::string wire = ReadFileBytes(trace).value_or("");
    EXPECT_TRUE(wire.starts_with(std::string("# oskel-uploader-cli ") + OSKEL_VERSION + " wire trace, started 20"))
        << wire.substr(0, 200);
    EXPECT_TRUE(Contains(wire.substr(0, wire.find('\n')), "; device " + link + " at COM1")) << wire.substr(0, 200);
    for (const char* part :
         {" open COM", " PC>CAM 19200 bit/s 1 byte: probe 0x00\n    00\n", " CAM>PC 19200 bit/s 1 byte: NAK",
          "bytes: GetRegister 28\n    1B 43 02 00 01 1C 1D 00\n", "SendObject kind 58 with 12 bytes",
          "bytes: data STX seq 0 len 128\n    02 00 80 00", "data ETX seq 30 len 1408\n", "Action 11 (argument 0)",
          "1 byte: ENQ", "speed code 0 (close)", " close\n"})
        EXPECT_TRUE(Contains(wire, part)) << part << "\n" << wire.substr(0, 3000);
}

// Output that cannot be written fails the run once the camera is let go; a
// reader that went away ends it quietly.
TEST_F(CliScripting, WriteErrorsFailTheRunAndAClosedPipeEndsItQuietly)
{
    StartEmulator({});
    struct Case {
        std::vector<std::string> args;
        std::string stdoutTo;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {{"--json", "list"}, "/dev/full", 5, "oskel-uploader-cli: write error: No space left on device\n"},
        {{"list"}, CliProcess::kClosedPipe, 141, ""},
        {{"--trace", "/dev/full", "probe"}, "", 5,
         "oskel-uploader-cli: write error: /dev/full: No space left on device\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = CliProcess(config.Path(), Args(c.args), OSKEL_CLI_PATH, c.stdoutTo).Wait();
        EXPECT_EQ(run.status, c.status) << c.args.front() << "\n" << run.err;
        EXPECT_EQ(run.err, c.err) << c.args.front();
    }
    EXPECT_EQ(Cli({"list"}).status, 0) << "the camera link was closed as usual";

    // A failed open is traced with its reason.
    const std::string trace = config / "failed-open.txt";
    EXPECT_EQ(RunCli(config.Path(), {"--trace", trace, "--device", "/nonexistent/ttyUSB7", "probe"}).status, 3);
    EXPECT_TRUE(Contains(ReadFileBytes(trace).value_or(""),
                         " open COM1: failed: /nonexistent/ttyUSB7: No such file or directory\n"))
        << ReadFileBytes(trace).value_or("");
}

// With --json every outcome is one JSON object on standard output, and
// with --progress=json standard error holds JSON lines only (the runner
// validates both against the schema); a host brought along is its own step.
TEST_F(CliScripting, FailuresAreJsonAndProgressLinesAreJsonOnly)
{
    // The search found no camera: the ports it tried are named.
    const CliRun noCamera = Cli({"--json", "list"});
    EXPECT_EQ(noCamera.status, 3);
    EXPECT_TRUE(noCamera.out.starts_with("{\"status\":3,\"error\":\"camera-not-found\",\"message\":\"")) << noCamera.out;
    EXPECT_TRUE(Contains(noCamera.out, "\\u000APorts tried: COM1 (" + link + ", not opened).\","
                                       "\"portsTried\":[{\"port\":\"COM1\",\"device\":\"" + link +
                                           "\",\"opened\":false}]}\n"))
        << noCamera.out;
    const CliRun usage = RunCli(config.Path(), {"--json", "list", "extra"});
    EXPECT_EQ(usage.out, "{\"status\":2,\"error\":\"usage\",\"message\":"
                         "\"unexpected argument \\\"extra\\\": list takes no names\"}\n");

    StartEmulator({"--battery", "10"});
    for (const char* command : {"probe", "about", "ports"})
        EXPECT_EQ(Cli({"--json", command}).status, 0) << command; // the runner validates each
    const CliRun run = Cli({"upload", "--progress=json", "--json", "Frame: Classic"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "{\"event\":\"progress\",\"item\":1,\"name\":\"Frame Host\","
                                  "\"cameraName\":\"FRAMES.FNC\",\"host\":true,"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "{\"event\":\"progress\",\"item\":1,\"name\":\"Frame: Classic\","
                                  "\"cameraName\":\"FRAMEA.ATC\",\"bytes\":"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "{\"event\":\"message\",\"text\":\"" + res::LoadString(res::IDS_BATTERY_LOW)))
        << run.err;
    // The connect-time battery warning is among the run's messages; the
    // camera's list after it tells kind and size, and the free memory.
    EXPECT_TRUE(Contains(run.out, "\"messages\":[{\"id\":1600,")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\"cameraName\":\"FRAMEA.ATC\",\"kind\":\"attachment\",\"version\":")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\"freeMemoryAfter\":")) << run.out;
    EXPECT_FALSE(Contains(run.out, "\"freeMemoryAfter\":null")) << run.out;
}

// Nothing is erased unasked: without a terminal and without --yes an older
// version stays and the item is skipped, naming the option that would
// update it; a copy stored reports the name it was stored under.
TEST_F(CliScripting, AnOlderVersionIsKeptUnlessAskedAndACopyTellsItsStoredName)
{
    emulator::SampleProgram older;
    older.fileName = "CLOCK.FNC";
    older.displayName = "World Clock";
    older.version = "0001";
    const std::string olderFile = config / "CLOCK-OLD.FNC";
    WriteProgram(olderFile, older);
    StartEmulator({"--program", olderFile + "=CLOCK.FNC", "--program", folder + "/FRAMEB.ATC"});
    const std::string list = Cli({"list"}).out;
    ASSERT_TRUE(Contains(list, "CLOCK.FNC")) << list;

    const CliRun kept = Cli({"upload", "--json", "World Clock"});
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(Contains(kept.out, "\"outcome\":\"skipped\",\"yesOption\":\"--yes\"")) << kept.out;
    EXPECT_TRUE(Contains(Cli({"list", "--json"}).out, "\"cameraName\":\"CLOCK.FNC\",\"kind\":\"application\","
                                                      "\"version\":\"0001\""))
        << "the older version is still there";

    const CliRun copy = Cli({"upload", "--json", "--yes", "FRAMEB.ATC"});
    EXPECT_EQ(copy.status, 0) << copy.err;
    EXPECT_TRUE(Contains(copy.out, "\"cameraName\":\"FRAMEB2.ATC\",\"outcome\":\"copied\"")) << copy.out;
}

// OSKEL_TRACE=FILE: the desktop program traces the line the same way.
TEST_F(CliScripting, TheDesktopProgramWritesTheTraceWhenAsked)
{
    StartEmulator({});
    WriteFileBytes(config / "QUIVRAN.INI", "[Ports]\nCOM1=" + link + "\n[UploadDialog]\nOPFFolder=" + folder + "\n");
    const std::string trace = config / "desktop-trace.txt";
    setenv("OSKEL_TRACE", trace.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CliProcess desktop(config.Path(), {}, OSKEL_UPLOADER_PATH);
    unsetenv("OSKEL_TRACE");
    bool listed = false;
    for (int i = 0; i < 2000 && !listed; ++i) {
        listed = Contains(ReadFileBytes(trace).value_or(""), "bytes: GetRegister 55\n"); // the count
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string wire = ReadFileBytes(trace).value_or("");
    EXPECT_TRUE(listed) << "the camera's list was read\n" << wire << desktop.ErrSoFar();
    EXPECT_TRUE(Contains(wire, " open COM1\n")) << wire;
    EXPECT_TRUE(Contains(wire, " PC>CAM 19200 bit/s 1 byte: probe 0x00\n    00\n")) << wire;
    EXPECT_TRUE(Contains(wire, "bytes: GetRegister 1\n    1B 43 02 00 01 01 02 00\n")) << wire;
}

} // namespace
} // namespace oskel::test
