#pragma once

#include <cstdint>

namespace oskel {

// Per-call time-outs of the serial operations, in milliseconds.
constexpr uint32_t kReadIntervalTimeoutMs = 500;
constexpr uint32_t kReadTotalTimeoutConstantMs = 500;
constexpr uint32_t kWriteTotalTimeoutConstantMs = 500;

// Milliseconds allowed per byte: the integer part of 8000.0 / bps + 1.0.
inline uint32_t TimeoutMultiplierMs(int bps)
{
    if (bps <= 0)
        return 0;
    return static_cast<uint32_t>(8000.0 / bps + 1.0);
}

inline uint32_t ReadTotalTimeoutMs(int bps, int count)
{
    return kReadTotalTimeoutConstantMs + TimeoutMultiplierMs(bps) * static_cast<uint32_t>(count < 0 ? 0 : count);
}

inline uint32_t WriteTotalTimeoutMs(int bps, int count)
{
    return kWriteTotalTimeoutConstantMs + TimeoutMultiplierMs(bps) * static_cast<uint32_t>(count < 0 ? 0 : count);
}

// When a read of `count` bytes that began at startUs gives up: the total
// time-out after the start, or once `got` > 0, 500 ms after the last byte
// (lastByteUs) if that comes first. In microseconds.
inline uint64_t ReadDeadlineUs(int bps, int count, uint64_t startUs, uint64_t lastByteUs, int got)
{
    const uint64_t total = startUs + 1000u * static_cast<uint64_t>(ReadTotalTimeoutMs(bps, count));
    if (got == 0)
        return total;
    const uint64_t interval = lastByteUs + 1000u * static_cast<uint64_t>(kReadIntervalTimeoutMs);
    return interval < total ? interval : total;
}

// Time a byte spends on the wire: 10 bits (start, 8 data, stop).
inline uint64_t WireTimeUs(int bps, int count)
{
    if (bps <= 0 || count <= 0)
        return 0;
    return static_cast<uint64_t>(count) * 10u * 1000000u / static_cast<uint64_t>(bps);
}

constexpr int kMinPortIndex = 0;
constexpr int kMaxPortIndex = 9;

} // namespace oskel
