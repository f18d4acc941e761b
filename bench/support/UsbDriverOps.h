#pragma once

#include "serial/TermiosSerialOps.h"

#include <cstdint>

namespace oskel::bench {

// The termios port as a USB-serial driver reports it to the program: the
// bytes of a write stay counted in its output queue (TIOCOUTQ) until their
// USB transfer has reached the adapter, at the next 1 ms frame. A
// pseudo-terminal counts nothing, so this is what the benchmarks behind a
// USB adapter model run with; the real code path is the same.
class UsbDriverOps final : public TermiosSerialOps {
public:
    using TermiosSerialOps::TermiosSerialOps;

protected:
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) override;
    int QueuedOutput() override;

private:
    uint64_t m_inFlightUntilUs = 0;
    int m_inFlight = 0;
};

} // namespace oskel::bench
