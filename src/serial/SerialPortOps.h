#pragma once

#include "serial/OpenError.h"

#include <cstdint>

namespace oskel {

// The nine serial operations the camera protocol uses, in table order. Each
// returns an int used as a boolean (non-zero = success).
class SerialPortOps {
public:
    virtual ~SerialPortOps() = default;

    // Opens port `index` (0 = COM1) exclusively. Indexes outside 0..9 fail
    // without changing anything.
    virtual int OpenPort(int index) = 0;
    virtual int IsPortOpen() = 0;
    // Applies bps with 8 data bits, no parity, 1 stop bit, and the per-call
    // time-outs (SerialTimeouts.h).
    virtual int SetBaudRate(int bps) = 0;
    // Purges and closes; always true.
    virtual int ClosePort() = 0;
    // pacing: negative = normal (1/3/rest split from 96 bytes), 0 = byte by
    // byte at raised priority, n > 0 = byte by byte with ~2n ms before each.
    virtual int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) = 0;
    // A time-out is a success with a short (possibly zero) count.
    virtual int ReadPort(uint8_t* buffer, int count, uint32_t* read) = 0;
    virtual int BytesInBuffer(uint32_t* count) = 0;
    // Receive side first, then transmit; false when no port is open.
    virtual int ClearBuffers() = 0;
    // Busy-waits ms milliseconds; above 500 ms recalibrates the spin loop.
    virtual int DelayCalibrate(int ms) = 0;

    // Diagnostics beside the nine operations: what the opens since the last
    // reset came to, so that "no camera" can be told apart from "no port".
    // A line that keeps none reports nothing.
    virtual void ResetOpenDiagnostics() {}
    virtual OpenDiagnostics GetOpenDiagnostics() const { return {}; }
};

} // namespace oskel
