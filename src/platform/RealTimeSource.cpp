#include "platform/RealTimeSource.h"

#include <cerrno>
#include <time.h>

namespace oskel {

uint32_t RealTimeSource::TickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

// The wait ends on the tick, as a pure busy-wait would. The moment the tick
// count reaches start + ms is known in advance, so all but the last quarter
// millisecond is one sleep: a 40-second wait for the camera does not hold a
// processor, and a 48 ms pause does not wake up 48 times (each wake-up may
// come late on a busy machine).
void RealTimeSource::WaitMs(uint32_t ms)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
    const uint64_t startMs = nowNs / 1000000u;
    const uint32_t start = static_cast<uint32_t>(startMs);
    constexpr uint64_t kSpinTailNs = 250000;
    const uint64_t endNs = (startMs + ms) * 1000000u;
    if (endNs > nowNs + kSpinTailNs) {
        const uint64_t wakeNs = endNs - kSpinTailNs;
        const timespec wake{static_cast<time_t>(wakeNs / 1000000000u), static_cast<long>(wakeNs % 1000000000u)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
        }
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
