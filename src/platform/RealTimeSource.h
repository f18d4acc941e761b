#pragma once

#include "platform/TimeSource.h"

namespace oskel {

// The monotonic clock: long waits sleep until close to their end, then busy-wait.
class RealTimeSource final : public TimeSource {
public:
    uint32_t TickCount() override;
    void WaitMs(uint32_t ms) override;
    void Spin(uint32_t iterations) override;

    // The process-wide instance.
    static RealTimeSource& Instance();
};

} // namespace oskel
