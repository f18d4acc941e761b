// A camera that vanishes in the middle of an upload, and a command line
// killed in the middle of one: what the user sees, and what the next run
// finds.
#include "integration/CliCameraFixture.h"

#include "app/SingleInstance.h"
#include "emulator/SamplePrograms.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace oskel::test {
namespace {

class UnplugAndKill : public CliCameraFixture {
protected:
    void StartCamera(std::vector<std::string> extra = {})
    {
        extra.insert(extra.end(), {"--store-file", store});
        StartEmulator(extra);
    }

    // An upload of the big program, once its first packets are on the line.
    std::unique_ptr<CliProcess> UploadUnderWay()
    {
        auto upload = std::make_unique<CliProcess>(config.Path(), Args({"upload", "--yes", "BIGVIEW.FNC"}));
        EXPECT_TRUE(upload->WaitForErr("KiB of", 30)) << upload->ErrSoFar();
        return upload;
    }

    std::string Store() const { return ReadFileBytes(store).value_or(""); }

    std::string store = config / "store.txt";
};

TEST_F(UnplugAndKill, ACameraVanishingMidUploadIsReportedAtOnce)
{
    StartCamera();
    const std::unique_ptr<CliProcess> upload = UploadUnderWay();
    // The pty's other side closes with the emulator, as a USB adapter
    // pulled out or a camera switched off takes its side of the line.
    kill(camera->Pid(), SIGKILL);
    const auto gone = std::chrono::steady_clock::now();
    const CliRun run = upload->Wait();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - gone).count();
    camera->Stop();

    EXPECT_LT(seconds, 10.0) << "the end came after " << seconds << " s";
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, res::LoadString(res::IDS_UPLOAD_INCOMPLETE))) << run.err;
    EXPECT_TRUE(Contains(run.err, "The connection to the camera was lost.\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "The port COM1 (" + link + ") hung up")) << run.err;
}

TEST_F(UnplugAndKill, ARunKilledMidUploadLeavesCameraSettingsAndLockUsable)
{
    // The camera does not see the PC's program die: it stays at the speed of
    // the link, in the middle of the transfer.
    StartCamera({"--keep-on-close"});
    const CliRun probe = Cli({"probe"});
    ASSERT_EQ(probe.status, 0) << probe.err;
    ASSERT_TRUE(Contains(probe.out, "Speed: 230400")) << probe.out;
    const std::string settings = ReadFileBytes(config / "QUIVRAN.INI").value_or("");
    ASSERT_FALSE(settings.empty());

    const std::unique_ptr<CliProcess> upload = UploadUnderWay();
    kill(upload->Pid(), SIGKILL);
    const CliRun killed = upload->Wait();
    EXPECT_EQ(killed.status, -1);
    EXPECT_FALSE(Contains(killed.err, "100%")) << "killed before the program was complete\n" << killed.err;
    EXPECT_EQ(ReadFileBytes(config / "QUIVRAN.INI").value_or(""), settings);

    // The lock went with the process.
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        const std::string saved = old != nullptr ? old : "";
        setenv("XDG_RUNTIME_DIR", config.Path().c_str(), 1);
        CSingleInstance next;
        EXPECT_TRUE(next.Check());
        old != nullptr ? setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    }

    const CliRun list = Cli({"list", "--json"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(Contains(list.out, "\"camera\":{\"applications\":[],\"freeMemory\":524288}")) << list.out;
    EXPECT_TRUE(Contains(Store(), "0 programs")) << Store();
    EXPECT_EQ(ReadFileBytes(config / "QUIVRAN.INI").value_or(""), settings);

    // The half-sent program leaves nothing behind that the next upload
    // would store (a small one: few packets to disturb on a busy machine).
    const CliRun again = Cli({"upload", "--yes", "-q", "CLOCK.FNC"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(Contains(Store(), "1 programs, 3000 of 524288 bytes used")) << Store();
    EXPECT_TRUE(Contains(Store(), " CLOCK   FNC ")) << Store();
}

// Ctrl+C, SIGTERM or SIGHUP (the terminal closed), once or twice, at moments
// drawn from a fixed seed: the connect, the catalogs, the middle of a
// 2016-byte packet. The camera keeps whatever state the line left it in
// and the speed is fixed at 19200 bit/s, so a run that ended mid-packet or
// without the close packet would leave the next probe unanswered.
TEST_F(UnplugAndKill, AnInterruptAtAnyMomentIsToldAndTheNextRunFindsTheCamera)
{
    StartCamera({"--keep-on-close"});
    std::mt19937 random(2404);
    const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    for (int round = 0; round < 5; ++round) {
        const int delayMs = std::uniform_int_distribution<int>(100, 3000)(random);
        const int signal = kSignals[round % 3];
        const bool twice = round % 2 == 1;
        const std::string what = std::string(strsignal(signal)) + (twice ? " twice" : "") + " after " +
                                 std::to_string(delayMs) + " ms";
        CliProcess upload(config.Path(), Args({"--speed", "19200", "--yes", "-q", "upload", "BIGVIEW.FNC"}));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(upload.Pid(), signal);
        if (twice) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            kill(upload.Pid(), signal);
        }
        const CliRun stopped = upload.Wait();
        EXPECT_EQ(stopped.status, 130) << what << "\n" << stopped.err;
        EXPECT_TRUE(Contains(stopped.err, "oskel-uploader-cli: interrupted\n")) << what << "\n" << stopped.err;

        const CliRun next = Cli({"probe"});
        EXPECT_EQ(next.status, 0) << what << ": the next run\n" << next.err;
        EXPECT_TRUE(Contains(Store(), "0 programs")) << what << "\n" << Store();
    }
}

} // namespace
} // namespace oskel::test
