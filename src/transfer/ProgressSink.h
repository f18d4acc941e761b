#pragma once

#include <cstdint>

namespace oskel {

// Receives the progress of one transfer. Each operation returns 0 to go on;
// any other value asks the transfer to stop.
class CProgressSink {
public:
    virtual ~CProgressSink() = default;
    // Once, when the transfer starts.
    virtual int Begin() = 0;
    // Percent (0..100) of the current transfer done so far.
    virtual int Step(int percent) = 0;
    // Once, when the transfer ends, whatever its outcome.
    virtual int End() = 0;
    // Bytes of the current transfer the camera has acknowledged so far, and
    // the transfer's size; called after each acknowledged piece, for front
    // ends that show throughput and time left.
    virtual void Transferred(int64_t /*sent*/, int64_t /*total*/) {}
};

} // namespace oskel
