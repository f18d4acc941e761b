#include "UsbDriverOps.h"

#include <time.h>

namespace oskel::bench {
namespace {

constexpr uint64_t kUsbFrameUs = 1000;

uint64_t NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

} // namespace

bool UsbDriverOps::WriteChunk(const uint8_t* bytes, int count, uint32_t* written)
{
    m_inFlightUntilUs = (NowUs() / kUsbFrameUs + 1) * kUsbFrameUs;
    m_inFlight = count;
    return TermiosSerialOps::WriteChunk(bytes, count, written);
}

int UsbDriverOps::QueuedOutput()
{
    const int queued = TermiosSerialOps::QueuedOutput();
    if (queued != 0 || NowUs() >= m_inFlightUntilUs)
        return queued;
    return m_inFlight;
}

} // namespace oskel::bench
