#pragma once

#include "platform/TimeSource.h"

#include <cstdint>
#include <functional>

namespace oskel {

// A clock that moves only when the code under test waits, spins, or a fake
// line says time has passed. Kept in microseconds so that byte times on a
// fast line add up exactly; the tick count is the millisecond part.
class VirtualTimeSource final : public TimeSource {
public:
    // iterationsPerMs: how many Spin() iterations make one virtual millisecond.
    explicit VirtualTimeSource(uint32_t iterationsPerMs = 2500, uint64_t startUs = 0);

    uint32_t TickCount() override;
    void WaitMs(uint32_t ms) override;
    void Spin(uint32_t iterations) override;

    uint64_t NowUs() const { return m_nowUs; }
    void AdvanceUs(uint64_t us);
    void AdvanceToUs(uint64_t us);

    // Called whenever time moves, with the new time; lets an in-process peer
    // (the camera emulator) run up to that moment.
    void SetObserver(std::function<void(uint64_t nowUs)> observer) { m_observer = std::move(observer); }

    uint64_t TotalSpinIterations() const { return m_totalSpins; }

private:
    uint64_t m_nowUs;
    uint32_t m_iterationsPerMs;
    uint64_t m_spinRemainder = 0; // iterations x 1000 not yet turned into microseconds
    uint64_t m_totalSpins = 0;
    std::function<void(uint64_t)> m_observer;
};

} // namespace oskel
