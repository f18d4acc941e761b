#pragma once

#include "emulator/AdapterModel.h"
#include "emulator/CameraEngine.h"
#include "emulator/LineFormat.h"
#include "platform/ThreadPriority.h"
#include "platform/VirtualTimeSource.h"
#include "serial/PacedSerialOps.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace oskel::emulator {

// The serial operations wired straight to an in-process camera, in virtual
// time. Behaves as the termios back end does on a real line:
// - a write returns once its bytes have had their wire time at the port's
//   speed, and each byte reaches the camera when its stop bit has passed;
// - the camera's bytes arrive paced at the camera's speed, and are garbled
//   when the port's speed or framing differs from the camera's at arrival;
// - a read waits (moving the clock) up to 500 ms between bytes and 500 ms +
//   a multiplier x count in all, and returns short on a time-out.
// The camera answers only on the configured port indexes; opening any other
// index fails as an absent device does. An adapter model (AdapterModel.h)
// decides when the camera's bytes reach the PC and which speeds the port
// takes.
//
// The line is the clock's observer while it lives: whenever time moves, the
// camera runs up to the new moment.
class EmulatorLine final : public PacedSerialOps {
public:
    EmulatorLine(VirtualTimeSource& time, CameraEngine& camera, std::vector<int> cameraPorts = {0});
    EmulatorLine(VirtualTimeSource& time, CameraEngine& camera, std::vector<int> cameraPorts, ThreadPriority& priority);
    ~EmulatorLine() override;
    EmulatorLine(const EmulatorLine&) = delete;
    EmulatorLine& operator=(const EmulatorLine&) = delete;

    int OpenPort(int index) override;
    int IsPortOpen() override;
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override;
    int ClearBuffers() override;
    void ResetOpenDiagnostics() override { m_diagnostics = OpenDiagnostics{}; }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_diagnostics; }

    void SetAdapter(const AdapterModel& adapter) { m_adapter = adapter; }

    // A PC port set to other framing than 8-N-1 (SetBaudRate sets 8-N-1).
    void SetPcFormat(const LineFormat& format);
    const LineFormat& PcFormat() const { return m_pc; }
    int PortIndex() const { return m_index; }

    // Runs the camera up to the clock's present moment and moves what has
    // arrived into the receive queue.
    void Pump();

protected:
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) override;

private:
    void PumpTo(uint64_t nowUs);
    uint64_t NextEventUs() const;

    VirtualTimeSource& m_clock;
    CameraEngine& m_camera;
    std::vector<int> m_ports;
    bool m_open = false;
    int m_index = -1;
    LineFormat m_pc = LineFormat::Raw8N1(9600); // a port's speed before anyone sets it
    uint64_t m_txFreeUs = 0;                    // the PC's transmitter is busy until then
    std::deque<TimedByte> m_toCamera;           // on the wire toward the camera
    std::deque<uint8_t> m_received;             // the PC's receive queue
    AdapterModel m_adapter;
    OpenDiagnostics m_diagnostics;
};

} // namespace oskel::emulator
