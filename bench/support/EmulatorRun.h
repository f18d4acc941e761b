#pragma once

#include "emulator/EmulatorProcess.h"

#include <string>
#include <vector>

namespace oskel::bench {

// camera-emulator at a pty link while the object lives. For looking into a
// run: OSKEL_BENCH_WIRE_LOG names the emulator's wire log.
class EmulatorRun : public emulator::EmulatorProcess {
public:
    EmulatorRun(const std::string& program, const std::string& link, const std::vector<std::string>& extra);
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
