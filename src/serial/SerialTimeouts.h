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
