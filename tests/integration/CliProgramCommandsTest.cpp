// list, upload and remove of oskel-uploader-cli against camera-emulator on a
// pty, with the sample programs in a folder: the outcomes a script sees.
#include "integration/CliCameraFixture.h"

#include "app/SingleInstance.h"
#include "emulator/SamplePrograms.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <signal.h>

namespace oskel::test {
namespace {

// One camera with an old World Clock stored, and the sample folder with a
// big program besides.
class CliProgramCommands : public CliCameraFixture {
protected:
    void SetUp() override
    {
        CliCameraFixture::SetUp();
        if (HasFatalFailure())
            return;
        emulator::SampleProgram oldClock;
        oldClock.fileName = "CLOCK.FNC";
        oldClock.displayName = "World Clock";
        oldClock.version = "0001";
        WriteProgram(stored / "CLOCK.FNC", oldClock);
    }

    void StartCamera() { StartEmulator({"--program", stored / "CLOCK.FNC", "--dump", dump, "--wire-log", wireLog}); }

    TempDir stored;
    std::string dump = config / "dump";
    std::string wireLog = config / "wire.log";
};

TEST_F(CliProgramCommands, ListUploadUpdateAndRemoveAsAScriptDoes)
{
    StartCamera();
    const CliRun list = Cli({"list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(Contains(list.out, "World Clock")) << list.out;
    EXPECT_TRUE(Contains(list.out, "#1    World Clock")) << list.out;
    EXPECT_FALSE(Contains(list.out, "Frame Host")) << "hosts are hidden";
    EXPECT_TRUE(Contains(list.out, "Free memory: ")) << list.out;

    // A standalone application, an attachment bringing its host, a
    // multi-copy attachment, and that one once more.
    CliRun run = Cli({"upload", "--yes", "SLIDES.FNC", "Frame: Classic", "frameb.atc"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"upload", "--yes", "Frame: Stamp"});
    ASSERT_EQ(run.status, 0) << run.err;

    // The same version again is skipped with its message; an older one in
    // the camera is kept on No, which is no failure.
    run = Cli({"upload", "--no", "Slide Show", "World Clock"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "\"Slide Show\" skipped; an up-to-date version is already in the camera.")) << run.err;
    EXPECT_TRUE(Contains(run.err, res::LoadString(res::IDS_OLDER_VERSION) + " [answered No]")) << run.err;
    std::string json = Cli({"list", "--json"}).out;
    for (const char* name : {"\"SLIDES.FNC\"", "\"FRAMEA.ATC\"", "\"FRAMEB.ATC\"", "\"FRAMEB2.ATC\""})
        EXPECT_TRUE(Contains(json, std::string("\"cameraName\":") + name)) << name << "\n" << json;
    EXPECT_FALSE(Contains(json, "\"cameraName\":\"FRAMES.FNC\"")) << "the host is stored but not listed";
    EXPECT_TRUE(Contains(json, "{\"fileName\":\"FRAMES.FNC\",\"reason\":\"a host application")) << json;
    EXPECT_TRUE(Contains(json, "\"slot\":1,\"displayName\":\"World Clock\",\"cameraName\":\"CLOCK.FNC\","
                               "\"kind\":\"application\",\"version\":\"0001\""))
        << json;

    // On Yes the older version is replaced.
    run = Cli({"upload", "--yes", "World Clock"});
    EXPECT_EQ(run.status, 0) << run.err;

    // Several copies need their camera name: a usage error naming them.
    run = Cli({"remove", "--yes", "Frame: Stamp"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "(FRAMEB.ATC)") && Contains(run.err, "(FRAMEB2.ATC)")) << run.err;

    // Without --yes and without a terminal nobody confirms the erase: No,
    // and the item is skipped, naming the option that would erase it.
    run = Cli({"remove", "--json", "FRAMEB2.ATC"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, res::LoadString(res::IDS_CONFIRM_ERASE) +
                                      " [answered No: no terminal to ask; --yes answers Yes]"))
        << run.err;
    EXPECT_TRUE(Contains(run.out, "\"cameraName\":\"FRAMEB2.ATC\",\"outcome\":\"skipped\",\"yesOption\":\"--yes\""))
        << run.out;

    // The last attachment takes its host along.
    run = Cli({"remove", "--yes", "FRAMEB2.ATC", "FRAMEB.ATC", "Frame: Classic"});
    ASSERT_EQ(run.status, 0) << run.err;
    json = Cli({"list", "--json"}).out;
    EXPECT_TRUE(Contains(json, "\"cameraName\":\"CLOCK.FNC\",\"kind\":\"application\",\"version\":\"0102\""))
        << json;
    camera->Stop();
    const std::string directory = ReadFileBytes(dump + "/directory.txt").value_or("");
    EXPECT_TRUE(Contains(directory, "CLOCK")) << directory;
    EXPECT_FALSE(Contains(directory, "FRAME")) << directory;
    // The camera had the PC's ACK to every packet it sent (each register
    // value included) before the next command began. The one exception is
    // the pty's own: while the speed climbs, the PC sets its port to the next
    // speed right after an ACK, and the ACK, still on its way through the
    // kernel, is judged at that speed.
    const std::string wire = ReadFileBytes(wireLog).value_or("");
    EXPECT_TRUE(Contains(wire, "ACK")) << "no wire log";
    std::istringstream lines(wire);
    std::string line;
    std::string previous;
    while (std::getline(lines, line)) {
        if (Contains(line, "transfer dropped")) {
            EXPECT_TRUE(Contains(previous, "garbled: 0x06")) << previous << "\n" << line << "\n" << wire;
        }
        previous = line;
    }
}

TEST_F(CliProgramCommands, ASilentCameraInterruptsAndASecondInstanceEachHaveTheirStatus)
{
    StartCamera();
    {
        // Ctrl+C: the transfer stops at a packet boundary and the link is
        // closed; the camera's list is as before.
        CliProcess upload(config.Path(), Args({"upload", "--yes", "BIGVIEW.FNC"}));
        ASSERT_TRUE(upload.WaitForErr("KiB of", 20)) << upload.ErrSoFar();
        kill(upload.Pid(), SIGINT);
        const CliRun run = upload.Wait();
        EXPECT_EQ(run.status, 130) << run.err;
        const CliRun list = Cli({"list", "--json"});
        EXPECT_EQ(list.status, 0) << list.err;
        EXPECT_FALSE(Contains(list.out, "\"cameraName\":\"BIGVIEW.FNC\"")) << list.out;
    }
    {
        // The camera stops answering in the middle of the transfer.
        CliProcess upload(config.Path(), Args({"upload", "--yes", "BIGVIEW.FNC"}));
        ASSERT_TRUE(upload.WaitForErr("KiB of", 20)) << upload.ErrSoFar();
        kill(camera->Pid(), SIGSTOP);
        const CliRun run = upload.Wait();
        kill(camera->Pid(), SIGCONT);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_TRUE(Contains(run.err, res::LoadString(res::IDS_UPLOAD_INCOMPLETE))) << run.err;
    }
    {
        // Another program of the family holds the camera.
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        const std::string saved = old != nullptr ? old : "";
        setenv("XDG_RUNTIME_DIR", config.Path().c_str(), 1);
        CSingleInstance other;
        ASSERT_TRUE(other.Check());
        old != nullptr ? setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
        const std::string before = ReadFileBytes(config / "QUIVRAN.INI").value_or("");
        const CliRun run = Cli({"list"});
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.err, "oskel-uploader-cli: " + res::LoadString(res::IDS_ALREADY_RUNNING) + "\n");
        EXPECT_EQ(ReadFileBytes(config / "QUIVRAN.INI").value_or(""), before) << "the settings are not touched";
    }
}

} // namespace
} // namespace oskel::test
