// ports, the holder of a busy port and --wait, from the command line against
// camera-emulator on a pty.
#include "integration/CliCameraFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace oskel::test {
namespace {

// A process that holds `device` open and locked, as another serial program
// would, until it is destroyed. Its command line names it
// "oskel-port-holder-process", longer than the kernel's 15-character comm.
class PortHolderProcess {
public:
    // `lock`: false holds it open without the lock a connect honours.
    explicit PortHolderProcess(const std::string& device, bool lock = true)
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char ok = fd >= 0 && (!lock || flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
            (void)!write(ready[1], &ok, 1);
            execl("/bin/bash", "bash", "-c", "exec -a oskel-port-holder-process sleep 60", nullptr);
            _exit(127);
        }
        close(ready[1]);
        char ok = 'n';
        m_ok = read(ready[0], &ok, 1) == 1 && ok == 'y';
        close(ready[0]);
    }
    ~PortHolderProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Ok() const { return m_ok; }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    bool m_ok = false;
};

class CliPortsAndWait : public CliCameraFixture {
protected:
    std::string Settings() const { return ReadFileBytes(config / "QUIVRAN.INI").value_or("<none>"); }
};

TEST_F(CliPortsAndWait, ABusyPortNamesItsHolderAndPortsShowsItWithoutOpeningIt)
{
    StartEmulator({});
    WriteFileBytes(config / "QUIVRAN.INI", "[Communication]\nPort=0\n[Ports]\nCOM1=" + link + "\n");
    const std::string holderText = "oskel-port-holder-process (pid ";
    {
        PortHolderProcess holder(link);
        ASSERT_TRUE(holder.Ok());
        const std::string named = holderText + std::to_string(holder.Pid()) + ")";
        const CliRun probe = Cli({"probe"});
        EXPECT_EQ(probe.status, 3);
        EXPECT_TRUE(Contains(probe.err, link + " is in use by " + named + ".")) << probe.err;

        const CliRun ports = RunCli(config.Path(), {"ports"});
        EXPECT_EQ(ports.status, 0) << ports.err;
        EXPECT_TRUE(Contains(ports.out, "Only COM1 is tried (the port is fixed; --port auto searches them all):\n"
                                        "COM1  " + link + "  in use by " +
                                            named + "\n      set in the settings ([Ports] COM1)\n"))
            << ports.out;
        const CliRun json = RunCli(config.Path(), {"ports", "--json"});
        EXPECT_TRUE(Contains(json.out, "{\"port\":\"COM1\",\"portIndex\":0,\"device\":\"" + link +
                                           "\",\"tried\":true,\"fromSettings\":true,\"exists\":true,"))
            << json.out;
        EXPECT_TRUE(Contains(json.out, "\"access\":true,\"inUse\":true,\"holders\":[{\"pid\":" +
                                           std::to_string(holder.Pid()) + ",\"name\":\"oskel-port-holder-process\"}]"))
            << json.out;
    }
    const CliRun json = RunCli(config.Path(), {"ports", "--json"});
    EXPECT_TRUE(Contains(json.out, "\"inUse\":false,\"holders\":[]")) << json.out;

    // ports sent nothing: the camera still answers at its starting speed.
    const CliRun probe = Cli({"probe"});
    EXPECT_EQ(probe.status, 0) << probe.err;
    EXPECT_FALSE(Contains(probe.err, "warning")) << probe.err;

    // Held without the lock: probe gets through, and says what ports says.
    PortHolderProcess unlocked(link, false);
    ASSERT_TRUE(unlocked.Ok());
    const std::string named = holderText + std::to_string(unlocked.Pid()) + ")";
    const CliRun shared = Cli({"probe"});
    EXPECT_EQ(shared.status, 0) << shared.err;
    EXPECT_TRUE(Contains(shared.err, "warning: " + link + " is also in use by " + named)) << shared.err;
    EXPECT_TRUE(Contains(RunCli(config.Path(), {"ports"}).out, "in use by " + named)) << "ports agrees";
}

TEST_F(CliPortsAndWait, WaitConnectsWhenTheCameraAppears)
{
    CliProcess waiting(config.Path(), Args({"--wait=40", "probe"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    StartEmulator({});
    const CliRun run = waiting.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Model: SR82")) << run.out;
}

TEST_F(CliPortsAndWait, WaitGivesUpWhenTheTimeIsUpAndCtrlCStoresNothing)
{
    const auto start = std::chrono::steady_clock::now();
    const CliRun timedOut = Cli({"--wait=1", "probe"});
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(timedOut.status, 3);
    EXPECT_TRUE(Contains(timedOut.err, "No such device: " + link)) << timedOut.err;

    std::filesystem::remove(config / "QUIVRAN.INI");
    CliProcess waiting(config.Path(), Args({"--wait", "list"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(waiting.Pid(), SIGINT);
    const CliRun interrupted = waiting.Wait();
    EXPECT_EQ(interrupted.status, 130) << interrupted.err;
    EXPECT_EQ(Settings(), "<none>") << "nothing is written";
}

} // namespace
} // namespace oskel::test
