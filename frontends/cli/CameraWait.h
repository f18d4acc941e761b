#pragma once

#include "serial/PortArrivalWatch.h"

#include <chrono>
#include <string>
#include <vector>

namespace oskel::cli {

// The pauses of --wait between connection attempts: the next attempt comes
// as soon as a serial device (or one of the named paths) appears, else after
// the retry period, until the time is up or an interrupt (CliInterrupt).
class CameraWait {
public:
    // `seconds` < 0: no time limit.
    CameraWait(int seconds, const std::vector<std::string>& namedDevices);

    // Blocks until the next attempt is due: true, or false when the time is
    // up or an interrupt came first.
    bool Next();

private:
    using Clock = std::chrono::steady_clock;

    bool TimeUp(Clock::time_point now) const { return m_limited && now >= m_deadline; }

    PortArrivalWatch m_watch;
    bool m_limited;
    Clock::time_point m_deadline;
};

} // namespace oskel::cli
