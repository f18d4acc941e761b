#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace oskel::bench {

// A camera-emulator process serving a camera at a pty link while the object
// lives.
class EmulatorRun {
public:
    // Starts `program` with --quiet --link `link` and `extra`; waits until the
    // link exists. Ok() tells whether it came up.
    EmulatorRun(const std::string& program, const std::string& link, const std::vector<std::string>& extra);
    ~EmulatorRun();
    EmulatorRun(const EmulatorRun&) = delete;
    EmulatorRun& operator=(const EmulatorRun&) = delete;

    bool Ok() const { return m_ok; }
    pid_t Pid() const { return m_pid; }
    // SIGTERM and wait; the exit status, or -1.
    int Stop();

private:
    pid_t m_pid = -1;
    bool m_ok = false;
    int m_status = -1;
};

// A pseudo-terminal that nothing answers on: a serial port with no camera.
class SilentPort {
public:
    SilentPort();
    ~SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    const std::string& Path() const { return m_slave; }

private:
    int m_master = -1;
    std::string m_slave;
};

} // namespace oskel::bench
