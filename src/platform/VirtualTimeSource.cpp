#include "platform/VirtualTimeSource.h"

namespace oskel {

VirtualTimeSource::VirtualTimeSource(uint32_t iterationsPerMs, uint64_t startUs)
    : m_nowUs(startUs), m_iterationsPerMs(iterationsPerMs == 0 ? 1 : iterationsPerMs)
{
}

uint32_t VirtualTimeSource::TickCount()
{
    return static_cast<uint32_t>(m_nowUs / 1000u);
}

void VirtualTimeSource::WaitMs(uint32_t ms)
{
    // Busy-waiting until the tick count has advanced by ms ends on the first
    // tick at or past start + ms.
    const uint64_t target = (m_nowUs / 1000u + ms) * 1000u;
    if (target > m_nowUs)
        AdvanceToUs(target);
}

void VirtualTimeSource::Spin(uint32_t iterations)
{
    m_totalSpins += iterations;
    m_spinRemainder += static_cast<uint64_t>(iterations) * 1000u;
    const uint64_t us = m_spinRemainder / m_iterationsPerMs;
    m_spinRemainder %= m_iterationsPerMs;
    if (us > 0)
        AdvanceUs(us);
}

void VirtualTimeSource::AdvanceUs(uint64_t us)
{
    AdvanceToUs(m_nowUs + us);
}

void VirtualTimeSource::AdvanceToUs(uint64_t us)
{
    if (us <= m_nowUs)
        return;
    m_nowUs = us;
    if (m_observer)
        m_observer(m_nowUs);
}

} // namespace oskel
