#include "integration/CliRunner.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace oskel::test {

CliProcess::CliProcess(const std::string& config, std::vector<std::string> args, const char* program,
                       const std::string& stdoutTo)
{
    char pattern[] = "/tmp/oskel-cli-run-XXXXXX";
    const std::string io = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    m_outPath = io + "/out";
    m_errPath = io + "/err";
    m_args = args;
    args.insert(args.begin(), program);
    int pipeEnds[2] = {-1, -1};
    if (stdoutTo == kClosedPipe && pipe(pipeEnds) != 0)
        pipeEnds[0] = pipeEnds[1] = -1;
    m_pid = fork();
    if (m_pid == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", config.c_str(), 1);
        setenv("XDG_CACHE_HOME", config.c_str(), 1);
        const int in = open("/dev/null", O_RDONLY);
        const int out = stdoutTo == kClosedPipe ? pipeEnds[1]
                        : open(stdoutTo.empty() ? m_outPath.c_str() : stdoutTo.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                               0600);
        if (pipeEnds[0] >= 0)
            close(pipeEnds[0]);
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
    // The reader goes before the program writes anything.
    for (const int end : pipeEnds) {
        if (end >= 0)
            close(end);
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
    CheckJson(run);
    return run;
}

void CliProcess::CheckJson(const CliRun& run) const
{
    bool json = false, progress = false, ended = false;
    std::string command;
    static const std::vector<std::string> kWithValue = {"--device", "--port", "--speed", "--folder", "--trace",
                                                         "--progress"};
    for (size_t i = 0; i < m_args.size(); ++i) {
        const std::string& a = m_args[i];
        if (!ended && a == "--") {
            ended = true;
        } else if (!ended && a == "--json") {
            json = true;
        } else if (!ended && (a == "--progress=json" || (a == "--progress" && i + 1 < m_args.size() &&
                                                         m_args[i + 1] == "json"))) {
            progress = true;
        } else if (!ended && std::find(kWithValue.begin(), kWithValue.end(), a) != kWithValue.end()) {
            ++i;
        } else if ((ended || !a.starts_with("-")) && command.empty()) {
            command = a;
        }
    }
    auto validate = [](const std::string& definition, const std::string& path, const char* lines) {
        const std::string line = std::string("python3 ") + OSKEL_JSON_VALIDATOR + " " + OSKEL_JSON_SCHEMA + " " +
                                 definition + " '" + path + "' " + lines + " 2>&1";
        std::string report;
        if (FILE* p = popen(line.c_str(), "r")) {
            char buffer[512];
            while (fgets(buffer, sizeof buffer, p) != nullptr)
                report += buffer;
            if (pclose(p) == 0)
                return;
        }
        ADD_FAILURE() << definition << " output does not follow the schema:\n" << report;
    };
    if (json && !run.out.empty()) {
        std::string definition = command == "upload" || command == "remove" ? "operation" : command;
        if (run.status != 0 && run.out.starts_with("{\"status\":"))
            definition = "error";
        validate(definition, m_outPath, "");
    }
    if (progress && !run.err.empty())
        validate("event", m_errPath, "lines");
}

} // namespace oskel::test
