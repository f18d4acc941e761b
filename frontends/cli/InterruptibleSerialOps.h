#pragma once

#include "serial/SerialPortOps.h"

#include <functional>
#include <string>
#include <vector>

namespace oskel::cli {

// The serial table of the command line: the real one, except that after an
// interrupt (CliInterrupt) no port is opened any more. A connect in progress
// then ends after the attempt under way (a port search tries no further
// port), with its usual clean-up, and nothing waits in a loop for the flag.
// Everything on an open link goes on as before, so a transfer or an erase
// in flight is never cut in the middle and the link can still be closed.
//
// After a second interrupt the run ends as soon as the operation under way
// returns (a packet is always written whole): `hardStop` is called once; it
// is expected to close the link (the camera then leaves any transfer and
// goes back to 19200 bit/s) and end the process. The table keeps
// CliInterrupt told whether a link is open.
//
// It also keeps the ports a connect tried, for a camera-not-found message.
class InterruptibleSerialOps final : public SerialPortOps {
public:
    struct TriedPort {
        int index = 0;
        std::string device; // "" when not known (an emulated line)
        bool opened = false;
    };

    explicit InterruptibleSerialOps(SerialPortOps& inner) : m_inner(inner) {}

    void SetHardStop(std::function<void()> hardStop) { m_hardStop = std::move(hardStop); }
    // The device an open just went to (opened or not), "" when unknown.
    void SetDeviceNamer(std::function<std::string(bool opened)> namer) { m_deviceNamer = std::move(namer); }

    // The ports opened, or whose device could not be opened, since the last
    // ResetOpenDiagnostics (a connect starts with it), in the order first
    // tried, each once with its last outcome. An index with no device
    // behind it was not tried.
    const std::vector<TriedPort>& TriedPorts() const { return m_tried; }

    int OpenPort(int index) override;
    int IsPortOpen() override { return m_inner.IsPortOpen(); }
    int SetBaudRate(int bps) override { return Checked(m_inner.SetBaudRate(bps)); }
    int ClosePort() override;
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override
    {
        return Checked(m_inner.WritePort(bytes, count, written, pacing));
    }
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override
    {
        return Checked(m_inner.ReadPort(buffer, count, read));
    }
    int BytesInBuffer(uint32_t* count) override { return Checked(m_inner.BytesInBuffer(count)); }
    int ClearBuffers() override { return m_inner.ClearBuffers(); }
    int DelayCalibrate(int ms) override { return Checked(m_inner.DelayCalibrate(ms)); }
    void ResetOpenDiagnostics() override
    {
        m_tried.clear();
        m_inner.ResetOpenDiagnostics();
    }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_inner.GetOpenDiagnostics(); }

    // Waits (at most about 200 ms) until nothing more arrives, discarding
    // what does: an answer still on its way must not stand in front of the
    // close packet's acknowledgement.
    void DrainInput();

private:
    int Checked(int result);

    SerialPortOps& m_inner;
    std::function<void()> m_hardStop;
    std::function<std::string(bool opened)> m_deviceNamer;
    std::vector<TriedPort> m_tried;
    bool m_stopping = false;
};

} // namespace oskel::cli
