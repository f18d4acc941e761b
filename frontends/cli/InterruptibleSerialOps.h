#pragma once

#include "serial/SerialPortOps.h"

namespace oskel::cli {

// The serial table of the command line: the real one, except that after an
// interrupt (CliInterrupt) no port is opened any more. A connect in progress
// then ends after the attempt under way (a port search tries no further
// port), with its usual clean-up, and nothing waits in a loop for the flag.
// Everything on an open link goes on as before, so a transfer or an erase
// in flight is never cut in the middle and the link can still be closed.
class InterruptibleSerialOps final : public SerialPortOps {
public:
    explicit InterruptibleSerialOps(SerialPortOps& inner) : m_inner(inner) {}

    int OpenPort(int index) override;
    int IsPortOpen() override { return m_inner.IsPortOpen(); }
    int SetBaudRate(int bps) override { return m_inner.SetBaudRate(bps); }
    int ClosePort() override { return m_inner.ClosePort(); }
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override
    {
        return m_inner.WritePort(bytes, count, written, pacing);
    }
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override { return m_inner.ReadPort(buffer, count, read); }
    int BytesInBuffer(uint32_t* count) override { return m_inner.BytesInBuffer(count); }
    int ClearBuffers() override { return m_inner.ClearBuffers(); }
    int DelayCalibrate(int ms) override { return m_inner.DelayCalibrate(ms); }
    void ResetOpenDiagnostics() override { m_inner.ResetOpenDiagnostics(); }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_inner.GetOpenDiagnostics(); }

private:
    SerialPortOps& m_inner;
};

} // namespace oskel::cli
