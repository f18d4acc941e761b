#pragma once

#include "platform/ThreadPriority.h"
#include "platform/TimeSource.h"
#include "serial/OpenError.h"
#include "serial/PacedSerialOps.h"
#include "serial/PortFacts.h"
#include "serial/PortMap.h"

#include <string>

namespace oskel {

// The serial operations on a POSIX terminal device.
//
// Open is exclusive (flock, then TIOCEXCL), the line is raw 8-N-1 with no
// flow control at all (neither XON/XOFF nor RTS/CTS, whatever an earlier
// program left set), and the classic per-call time-outs are reproduced with
// poll() deadlines: 500 ms between bytes, in all 500 ms + a multiplier x
// count. A write returns only once its bytes have had their wire time at the
// configured speed, so the answer time-outs of the layer above start when the
// last byte has left, as on the line the protocol was designed for; but never
// later than its own time-out: bytes the driver still holds then are
// discarded and left out of the written count. On a pseudo-terminal the
// flock alone is the lock (see OpenDevicePath).
class TermiosSerialOps : public PacedSerialOps {
public:
    // How often a write looks whether the driver has sent its bytes.
    static constexpr uint64_t kDrainNapUs = 100;

    TermiosSerialOps(TimeSource& time, ThreadPriority& priority, PortMap ports = PortMap());
    ~TermiosSerialOps() override;

    int OpenPort(int index) override;
    int IsPortOpen() override;
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override;
    int ClearBuffers() override;
    void ResetOpenDiagnostics() override { m_diagnostics = OpenDiagnostics{}; }
    OpenDiagnostics GetOpenDiagnostics() const override;
    // Where sysfs is (tests put a fake tree there).
    void SetSystemRoots(SystemRoots roots) { m_roots = std::move(roots); }

    // Opens `device` in place of the mapped device (command-line use): at
    // port `index` only, the other indexes then having no device, or at
    // every index when `index` is -1.
    void SetDeviceOverride(std::string device, int index = -1)
    {
        m_deviceOverride = std::move(device);
        m_deviceOverrideIndex = index;
    }

    PortMap& Ports() { return m_ports; }
    const OpenError& LastOpenError() const { return m_lastOpenError; }
    const std::string& OpenDevice() const { return m_device; }
    int PortIndex() const { return m_portIndex; }
    int CurrentSpeed() const { return m_speed; }

    // The one instance of the program, on the real clock.
    static TermiosSerialOps& Shared();

protected:
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) override;
    int LineSpeed() const override { return m_speed; }
    // Bytes handed to the driver and not yet sent (TIOCOUTQ); -1 when the
    // device has gone away.
    virtual int QueuedOutput();

private:
    bool OpenDevicePath(const std::string& device);
    bool ApplySpeed(int bps);
    void Unplugged();
    static void ReleaseDescriptor(int fd);
    void TryLowLatency();
    int DrainUntil(uint64_t startUs, int count, uint64_t deadlineUs);
    void WaitWireTime(uint64_t startUs, int count);

    PortMap m_ports;
    std::string m_deviceOverride;
    int m_deviceOverrideIndex = -1;
    int m_fd = -1;
    bool m_unplugged = false; // the device went away; no open has succeeded since
    std::string m_unpluggedDevice;
    SystemRoots m_roots;
    int m_portIndex = -1;
    int m_speed = 0;
    std::string m_device;
    OpenError m_lastOpenError;
    OpenDiagnostics m_diagnostics;
};

} // namespace oskel
