#pragma once

#include <cstdint>

namespace oskel {

// Receiver of an object read from the camera.
class ITransferSink {
public:
    virtual ~ITransferSink() = default;
    virtual int Begin() = 0;                             // non-zero accepts the transfer
    virtual int Put(const uint8_t* bytes, int length) = 0; // non-zero when stored
    virtual int Abort() = 0;
    virtual int Finish() = 0;
};

// Provider of an object sent to the camera.
class ITransferSource {
public:
    virtual ~ITransferSource() = default;
    virtual int Begin() = 0; // non-zero to proceed
    // Copies up to `maximum` bytes and returns how many. *status: -1 on an
    // error, non-zero when the data ends with this piece, 0 when more follows.
    virtual int Read(uint8_t* destination, int maximum, int* status) = 0;
    virtual int End() = 0;
    // The camera acknowledged the piece last read: it is on the camera's
    // side now (for honest progress figures).
    virtual void Acknowledged() {}
};

} // namespace oskel
