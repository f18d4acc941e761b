#include "EmulatorRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace oskel::bench {

EmulatorRun::EmulatorRun(const std::string& program, const std::string& link, const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {program, "--quiet", "--link", link};
    args.insert(args.end(), extra.begin(), extra.end());
    // For looking into a run: OSKEL_BENCH_WIRE_LOG names the emulator's wire log.
    if (const char* wireLog = std::getenv("OSKEL_BENCH_WIRE_LOG"); wireLog != nullptr && *wireLog != 0)
        args.insert(args.end(), {"--wire-log", wireLog});
    m_pid = fork();
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        prctl(PR_SET_PDEATHSIG, SIGTERM); // goes with a benchmark that is killed
        alarm(900);                       // and never outlives a stuck one by long
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int i = 0; i < 1000 && m_pid > 0; ++i) {
        if (std::filesystem::is_symlink(link)) {
            m_ok = true;
            break;
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

EmulatorRun::~EmulatorRun()
{
    Stop();
}

int EmulatorRun::Stop()
{
    if (m_pid <= 0)
        return m_status;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_status;
}

SilentPort::SilentPort()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return;
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) == 0)
        m_slave = name;
}

SilentPort::~SilentPort()
{
    if (m_master >= 0)
        ::close(m_master);
}

} // namespace oskel::bench
