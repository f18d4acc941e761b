#pragma once

#include "protocol/PacketText.h"
#include "serial/SerialPortOps.h"

#include <cstdint>
#include <functional>
#include <ostream>

namespace oskel {

// The serial table with a wire trace: every operation is passed on to the
// real line, and what crosses it is written to `out`, one entry per write
// and per read that brought bytes, for bug reports:
//
//   12.034567 PC>CAM 115200 bit/s 8 bytes: GetRegister 28
//       1B 43 02 00 01 1C 1D 00
//
// with the seconds since the trace began, the direction, the line's speed,
// the bytes in hexadecimal and what they are (commands with their register,
// data packets with their number and length, control bytes by name, speed
// packets); a packet split over several reads is named where it ends.
// Opening, speed changes, purges, closing and reads that timed out empty
// get a line of their own.
class TracingSerialOps final : public SerialPortOps {
public:
    // `nowUs`: a monotonic clock in microseconds (empty: the system's).
    TracingSerialOps(SerialPortOps& inner, std::ostream& out, std::function<uint64_t()> nowUs = {});

    int OpenPort(int index) override;
    int IsPortOpen() override { return m_inner.IsPortOpen(); }
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override { return m_inner.BytesInBuffer(count); }
    int ClearBuffers() override;
    int DelayCalibrate(int ms) override { return m_inner.DelayCalibrate(ms); }
    void ResetOpenDiagnostics() override { m_inner.ResetOpenDiagnostics(); }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_inner.GetOpenDiagnostics(); }

private:
    void Line(const std::string& text);
    void Bytes(const char* direction, PacketDecoder& decoder, const uint8_t* bytes, size_t count);

    SerialPortOps& m_inner;
    std::ostream& m_out;
    std::function<uint64_t()> m_nowUs;
    uint64_t m_startUs;
    int m_bps = 0;
    PacketDecoder m_sent;
    PacketDecoder m_received;
};

} // namespace oskel
