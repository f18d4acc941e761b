#pragma once

#include "LineEvent.h"
#include "serial/PacedSerialOps.h"
#include "platform/TimeSource.h"

namespace oskel::bench {

// Monotonic clock in microseconds.
uint64_t NowUs();

// Forwards the nine serial operations to a real line and notes each one
// (what crossed the line, at which speed, and how long it took) in a log,
// while recording is on.
class RecordingSerialOps final : public SerialPortOps {
public:
    RecordingSerialOps(PacedSerialOps& inner, LineLog& log) : m_inner(inner), m_log(log) {}

    void SetRecording(bool on) { m_recording = on; }
    // Where the events' moments come from (default: the monotonic clock).
    void SetClock(uint64_t (*clockUs)(void*), void* context)
    {
        m_clockUs = clockUs;
        m_clockContext = context;
    }
    uint64_t ClockUs() const { return m_clockUs != nullptr ? m_clockUs(m_clockContext) : NowUs(); }

    int OpenPort(int index) override;
    int IsPortOpen() override { return m_inner.IsPortOpen(); }
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override;
    int ClearBuffers() override;
    int DelayCalibrate(int ms) override;
    void ResetOpenDiagnostics() override { m_inner.ResetOpenDiagnostics(); }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_inner.GetOpenDiagnostics(); }

    int Speed() const { return m_bps; }

private:
    LineEvent Begin(LineEvent::Kind kind) const;
    void End(LineEvent event);

    PacedSerialOps& m_inner;
    LineLog& m_log;
    bool m_recording = true;
    int m_bps = 0;
    uint64_t (*m_clockUs)(void*) = nullptr;
    void* m_clockContext = nullptr;
};

// Forwards to a real clock and notes every fixed pause (WaitMs) in the log.
class RecordingTimeSource final : public TimeSource {
public:
    RecordingTimeSource(TimeSource& inner, RecordingSerialOps& line, LineLog& log)
        : m_inner(inner), m_line(line), m_log(log)
    {
    }

    void SetRecording(bool on) { m_recording = on; }

    uint32_t TickCount() override { return m_inner.TickCount(); }
    void WaitMs(uint32_t ms) override;
    void Spin(uint32_t iterations) override { m_inner.Spin(iterations); }

private:
    TimeSource& m_inner;
    RecordingSerialOps& m_line;
    LineLog& m_log;
    bool m_recording = true;
};

} // namespace oskel::bench
