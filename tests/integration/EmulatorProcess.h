#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace oskel::test {

// The camera-emulator program serving a camera at `link` while the object
// lives; the constructor returns once the link exists (or after 5 s).
class EmulatorProcess {
public:
    EmulatorProcess(const std::string& program, const std::string& link, std::vector<std::string> extra);
    ~EmulatorProcess() { Stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // SIGTERM, then the exit status (-1 when it did not exit normally).
    int Stop();
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_status = -1;
};

} // namespace oskel::test
