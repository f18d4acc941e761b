#pragma once

#include <cstdint>

namespace oskel {

// The one clock of the program. Everything that waits or measures time goes
// through it: a 32-bit millisecond tick count whose differences are taken in
// unsigned arithmetic (a wrap-around is harmless), a wait on that count, and
// an empty countdown loop whose iteration count is a unit of time.
class TimeSource {
public:
    virtual ~TimeSource() = default;

    virtual uint32_t TickCount() = 0;

    // Waits until TickCount() has advanced by ms, handling no window
    // messages in the meantime, and ends on the tick. The real clock sleeps
    // the part of a long wait that lies well before its end and busy-waits
    // the last few milliseconds; the virtual clock moves on at once.
    virtual void WaitMs(uint32_t ms) = 0;

    // Counts down `iterations` times in a loop the optimiser cannot remove.
    virtual void Spin(uint32_t iterations) = 0;
};

inline uint32_t TicksSince(TimeSource& time, uint32_t start)
{
    return time.TickCount() - start;
}

} // namespace oskel
