#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace oskel::emulator {

// The camera-emulator program serving a camera at a pty link while the
// object lives: for tests and benchmarks that talk to it over a real
// serial port.
class EmulatorProcess {
public:
    // Starts `program` with --quiet --link `link` and `extra`; returns once
    // the link exists, the program has ended, or after 10 s. Ok() tells
    // whether it came up. The program ends with this process (and after
    // 15 minutes in any case, should this one hang).
    EmulatorProcess(const std::string& program, const std::string& link, const std::vector<std::string>& extra);
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    bool Ok() const { return m_ok; }
    pid_t Pid() const { return m_pid; }
    // SIGTERM, then the exit status (-1 when it did not exit normally).
    int Stop();

private:
    pid_t m_pid = -1;
    bool m_ok = false;
    int m_status = -1;
};

} // namespace oskel::emulator
