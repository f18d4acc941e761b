#include "integration/CliRunner.h"

#include "support/TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace oskel::test {

CliProcess::CliProcess(const std::string& config, std::vector<std::string> args, const char* program)
{
    char pattern[] = "/tmp/oskel-cli-run-XXXXXX";
    const std::string io = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    m_outPath = io + "/out";
    m_errPath = io + "/err";
    args.insert(args.begin(), program);
    m_pid = fork();
    if (m_pid == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", config.c_str(), 1);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        alarm(60);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

CliProcess::~CliProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    unlink(m_outPath.c_str());
    unlink(m_errPath.c_str());
    rmdir(m_outPath.substr(0, m_outPath.rfind('/')).c_str());
}

std::string CliProcess::ErrSoFar() const
{
    return ReadFileBytes(m_errPath).value_or("");
}

bool CliProcess::WaitForErr(const std::string& text, int seconds) const
{
    for (int i = 0; i < seconds * 100; ++i) {
        if (ErrSoFar().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

CliRun CliProcess::Wait()
{
    CliRun run;
    int status = 0;
    if (m_pid > 0 && waitpid(m_pid, &status, 0) == m_pid)
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m_pid = -1;
    run.out = ReadFileBytes(m_outPath).value_or("");
    run.err = ReadFileBytes(m_errPath).value_or("");
    return run;
}

} // namespace oskel::test
