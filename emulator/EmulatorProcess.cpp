#include "emulator/EmulatorProcess.h"

#include <chrono>
#include <filesystem>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace oskel::emulator {

EmulatorProcess::EmulatorProcess(const std::string& program, const std::string& link,
                                 const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {program, "--quiet", "--link", link};
    args.insert(args.end(), extra.begin(), extra.end());
    m_pid = fork();
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        prctl(PR_SET_PDEATHSIG, SIGTERM); // goes with a test or benchmark that is killed
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

EmulatorProcess::~EmulatorProcess()
{
    Stop();
}

int EmulatorProcess::Stop()
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

} // namespace oskel::emulator
