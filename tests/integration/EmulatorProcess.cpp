#include "integration/EmulatorProcess.h"

#include <chrono>
#include <filesystem>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace oskel::test {

EmulatorProcess::EmulatorProcess(const std::string& program, const std::string& link, std::vector<std::string> extra)
{
    std::vector<std::string> args = {program, "--quiet", "--link", link};
    args.insert(args.end(), extra.begin(), extra.end());
    m_pid = fork();
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        alarm(120); // never outlives a stuck test by long
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int i = 0; i < 500 && !std::filesystem::is_symlink(link); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
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

} // namespace oskel::test
