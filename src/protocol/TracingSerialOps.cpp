#include "protocol/TracingSerialOps.h"

#include "serial/PortFacts.h"
#include <cstring>

#include <chrono>
#include <cstdio>

namespace oskel {
namespace {

constexpr size_t kBytesPerLine = 32;

uint64_t SteadyUs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

} // namespace

TracingSerialOps::TracingSerialOps(SerialPortOps& inner, std::ostream& out, std::function<uint64_t()> nowUs)
    : m_inner(inner), m_out(out), m_nowUs(nowUs ? std::move(nowUs) : SteadyUs), m_startUs(m_nowUs())
{
}

void TracingSerialOps::Line(const std::string& text)
{
    const uint64_t us = m_nowUs() - m_startUs;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%llu.%06llu ", static_cast<unsigned long long>(us / 1000000),
                  static_cast<unsigned long long>(us % 1000000));
    m_out << stamp << text << '\n';
    m_out.flush();
}

void TracingSerialOps::Bytes(const char* direction, PacketDecoder& decoder, const uint8_t* bytes, size_t count)
{
    std::string what;
    for (const std::string& text : decoder.Feed(bytes, count))
        what += (what.empty() ? "" : "; ") + text;
    if (decoder.InPacket())
        what += what.empty() ? "(packet continues)" : "; (a packet begins)";
    Line(std::string(direction) + " " + std::to_string(m_bps) + " bit/s " + std::to_string(count) +
         (count == 1 ? " byte: " : " bytes: ") + what);
    std::string hex;
    char b[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(b, sizeof b, "%02X", bytes[i]);
        hex += (i % kBytesPerLine == 0 ? "    " : " ") + std::string(b);
        if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == count)
            hex += '\n';
    }
    m_out << hex;
    m_out.flush();
}

int TracingSerialOps::OpenPort(int index)
{
    const OpenDiagnostics before = m_inner.GetOpenDiagnostics();
    const int ok = m_inner.OpenPort(index);
    std::string why;
    // The line keeps the most telling failure of a search: when this one
    // took its place, it is this open's reason.
    const OpenDiagnostics after = m_inner.GetOpenDiagnostics();
    const OpenError& e = after.worst;
    if (!ok && after.failed > before.failed &&
        (before.failed == 0 || e.kind != before.worst.kind || e.device != before.worst.device ||
         e.error != before.worst.error)) {
        why = ": " + (e.device.empty() ? std::string("no device") : e.device) +
              (e.error != 0 ? std::string(": ") + std::strerror(e.error) : std::string());
    }
    Line("open COM" + std::to_string(index + 1) + (ok ? "" : ": failed" + why));
    if (const OpenDiagnostics d = m_inner.GetOpenDiagnostics(); ok && d.latencyTimerMs >= 0)
        Line(LatencyTimerLine(d.latencyDevice, d.latencyTimerMs));
    if (ok) {
        m_sent = PacketDecoder();
        m_received = PacketDecoder();
    }
    return ok;
}

int TracingSerialOps::SetBaudRate(int bps)
{
    const int ok = m_inner.SetBaudRate(bps);
    if (ok)
        m_bps = bps;
    Line("speed " + std::to_string(bps) + " bit/s" + (ok ? "" : ": failed"));
    return ok;
}

int TracingSerialOps::ClosePort()
{
    const int ok = m_inner.ClosePort();
    Line("close");
    return ok;
}

int TracingSerialOps::ClearBuffers()
{
    const int ok = m_inner.ClearBuffers();
    Line("purge");
    return ok;
}

int TracingSerialOps::WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    uint32_t moved = 0;
    const int ok = m_inner.WritePort(bytes, count, &moved, pacing);
    if (written != nullptr)
        *written = moved;
    if (moved > 0)
        Bytes("PC>CAM", m_sent, bytes, moved);
    if (!ok || static_cast<int>(moved) < count)
        Line("write: " + std::to_string(moved) + " of " + std::to_string(count) + " bytes went out");
    return ok;
}

int TracingSerialOps::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    uint32_t got = 0;
    const int ok = m_inner.ReadPort(buffer, count, &got);
    if (read != nullptr)
        *read = got;
    if (got > 0)
        Bytes("CAM>PC", m_received, buffer, got);
    if (!ok)
        Line("read failed");
    else if (got == 0)
        Line("read: nothing came (time-out)");
    return ok;
}

} // namespace oskel
