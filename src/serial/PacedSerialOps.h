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
    // What a packet may spend waiting at raised priority beyond its own
    // wire time: the two 1 ms pauses of a split write and a USB adapter's
    // turnaround.
    static constexpr uint64_t kBoostAllowanceUs = 3000;

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
    // Called before sleeping or spinning while a packet is written. The
    // raised priority covers at most the packet's wire time plus
    // kBoostAllowanceUs of such waits; the rest of the packet goes at the
    // thread's own priority. A line that takes longer is stuck, or paced
    // byte by byte with pauses of 2 ms and more (where a late byte only
    // lengthens a pause the camera takes anyway), and a real-time thread
    // waiting or spinning on it must not hold up the rest of the computer.
    void BeforeSleep(uint64_t sleepUs);

private:
    int WritePacket(const uint8_t* bytes, int count, uint32_t* written, int pacing);
    int WriteSplit(const uint8_t* bytes, int count, uint32_t* written);
    int WriteByteByByte(const uint8_t* bytes, int count, uint32_t* written, int pacing);
    void Calibrate();

    TimeSource& m_time;
    ThreadPriority& m_priority;
    std::optional<ScopedPriorityBoost> m_packetBoost;
    uint64_t m_boostBudgetUs = 0; // waits the packet's boost still covers
    int m_spinPerMs = kInitialSpinPerMs;
};

} // namespace oskel
