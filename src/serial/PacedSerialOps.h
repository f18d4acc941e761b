#pragma once

#include "platform/ThreadPriority.h"
#include "platform/TimeSource.h"
#include "serial/SerialPortOps.h"

namespace oskel {

// The part of the serial operations that every line shares: the three
// pacing modes of WritePort, the calibrated spin loop and DelayCalibrate.
// A concrete line supplies the single write call (WriteChunk) and the rest.
class PacedSerialOps : public SerialPortOps {
public:
    static constexpr int kInitialSpinPerMs = 2500;
    static constexpr int kSplitThreshold = 96;
    static constexpr int kCalibrationIterations = 2500000;
    static constexpr uint32_t kCalibrateAboveMs = 500;

    PacedSerialOps(TimeSource& time, ThreadPriority& priority) : m_time(time), m_priority(priority) {}

    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override;
    int DelayCalibrate(int ms) override;

    int SpinPerMs() const { return m_spinPerMs; }
    TimeSource& Time() { return m_time; }

protected:
    // One write call: true on success, with the bytes it moved in *written.
    virtual bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) = 0;

private:
    int WriteSplit(const uint8_t* bytes, int count, uint32_t* written);
    int WriteByteByByte(const uint8_t* bytes, int count, uint32_t* written, int pacing);
    void Calibrate();

    TimeSource& m_time;
    ThreadPriority& m_priority;
    int m_spinPerMs = kInitialSpinPerMs;
};

} // namespace oskel
