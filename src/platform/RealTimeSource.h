#pragma once

#include "platform/TimeSource.h"

namespace oskel {

// The monotonic clock, busy-waited on.
class RealTimeSource final : public TimeSource {
public:
    uint32_t TickCount() override;
    void WaitMs(uint32_t ms) override;
    void Spin(uint32_t iterations) override;

    // The process-wide instance.
    static RealTimeSource& Instance();
};

} // namespace oskel
