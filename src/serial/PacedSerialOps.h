#pragma once

#include "platform/ThreadPriority.h"
#include "platform/TimeSource.h"
#include "serial/SerialPortOps.h"

#include <optional>

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
    // The line speed in bit/s, 0 when the line has none.
    virtual int LineSpeed() const { return 0; }
    // Called before sleeping while a packet is written. The raised priority
    // is not held across a sleep longer than the packet's own wire time: a
    // line that takes that long is stuck, and a real-time thread waiting on
    // it must not hold up the rest of the computer.
    void BeforeSleep(uint64_t sleepUs);

private:
    int WritePacket(const uint8_t* bytes, int count, uint32_t* written, int pacing);
    int WriteSplit(const uint8_t* bytes, int count, uint32_t* written);
    int WriteByteByByte(const uint8_t* bytes, int count, uint32_t* written, int pacing);
    void Calibrate();

    TimeSource& m_time;
    ThreadPriority& m_priority;
    std::optional<ScopedPriorityBoost> m_packetBoost;
    uint64_t m_packetWireUs = 0;
    int m_spinPerMs = kInitialSpinPerMs;
};

} // namespace oskel
