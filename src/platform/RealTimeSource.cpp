#include "platform/RealTimeSource.h"

#include <time.h>

namespace oskel {

uint32_t RealTimeSource::TickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

// The wait ends on the tick, as a pure busy-wait would; only the part of a
// long wait that lies well before the end is slept, so that a 40-second wait
// for the camera does not hold a processor for 40 seconds.
void RealTimeSource::WaitMs(uint32_t ms)
{
    const uint32_t start = TickCount();
    constexpr uint32_t kSpinTailMs = 3;
    while (TickCount() - start + kSpinTailMs < ms) {
        timespec nap{0, 1000000}; // 1 ms
        nanosleep(&nap, nullptr);
    }
    while (TickCount() - start < ms) {
    }
}

void RealTimeSource::Spin(uint32_t iterations)
{
    // volatile keeps every iteration: the count is the unit of time.
    volatile uint32_t remaining = iterations;
    while (remaining != 0) {
        const uint32_t next = remaining - 1;
        remaining = next;
    }
}

RealTimeSource& RealTimeSource::Instance()
{
    static RealTimeSource instance;
    return instance;
}

} // namespace oskel
