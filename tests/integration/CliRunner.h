#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace oskel::test {

struct CliRun {
    int status = -1; // the exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// oskel-uploader-cli as a separate process, with XDG_CONFIG_HOME (the
// settings), XDG_RUNTIME_DIR (the single-instance lock) and XDG_CACHE_HOME
// (the camera's names for completion) all set to `config`, standard input from /dev/null and its output in files. A run
// that takes more than a minute is killed.
class CliProcess {
public:
    // `program`: another of the project's programs instead (the desktop one).
    // `stdoutTo`: standard output into this file instead (/dev/full), or
    // kClosedPipe: into a pipe whose reader has gone.
    CliProcess(const std::string& config, std::vector<std::string> args, const char* program = OSKEL_CLI_PATH,
               const std::string& stdoutTo = std::string());
    static constexpr const char* kClosedPipe = "|closed";
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // What it has written to standard error so far.
    std::string ErrSoFar() const;
    // Waits (at most `seconds`) until its standard error holds `text`.
    bool WaitForErr(const std::string& text, int seconds) const;
    // Waits for the end; a JSON output (--json on standard output,
    // --progress=json on standard error) that does not follow the schema is
    // a test failure.
    CliRun Wait();

private:
    void CheckJson(const CliRun& run) const;

    std::vector<std::string> m_args;
    std::string m_outPath;
    std::string m_errPath;
    pid_t m_pid = -1;
};

inline CliRun RunCli(const std::string& config, std::vector<std::string> args)
{
    return CliProcess(config, std::move(args)).Wait();
}

} // namespace oskel::test
