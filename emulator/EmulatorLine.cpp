#include "emulator/EmulatorLine.h"

#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <limits>

namespace oskel::emulator {
namespace {

class NoThreadPriority final : public ThreadPriority {
public:
    Saved Raise() override { return Saved{}; }
    void Restore(const Saved&) override {}
};

NoThreadPriority g_noPriority;

bool IsStandardSpeed(int bps)
{
    static const int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    return std::find(std::begin(kSpeeds), std::end(kSpeeds), bps) != std::end(kSpeeds);
}

} // namespace

EmulatorLine::EmulatorLine(VirtualTimeSource& time, CameraEngine& camera, std::vector<int> cameraPorts)
    : EmulatorLine(time, camera, std::move(cameraPorts), g_noPriority)
{
}

EmulatorLine::EmulatorLine(VirtualTimeSource& time, CameraEngine& camera, std::vector<int> cameraPorts,
                           ThreadPriority& priority)
    : PacedSerialOps(time, priority), m_clock(time), m_camera(camera), m_ports(std::move(cameraPorts))
{
    m_camera.SetPeerFormat(m_pc);
    m_clock.SetObserver([this](uint64_t nowUs) { PumpTo(nowUs); });
}

EmulatorLine::~EmulatorLine()
{
    m_clock.SetObserver(nullptr);
}

int EmulatorLine::OpenPort(int index)
{
    if (index < kMinPortIndex || index > kMaxPortIndex)
        return 0;
    ClosePort();
    m_index = index;
    if (std::find(m_ports.begin(), m_ports.end(), index) == m_ports.end()) {
        m_diagnostics.Record(OpenError{OpenError::NoDevice, {}, 0});
        return 0;
    }
    Pump();
    m_open = true;
    m_received.clear();
    m_diagnostics.Record(OpenError{});
    m_diagnostics.latencyTimerMs = m_adapter.LatencyTimerMs();
    m_diagnostics.latencyDevice = m_adapter.LatencyTimerMs() >= 0 ? "ttyUSB" + std::to_string(index) : "";
    return 1;
}

int EmulatorLine::IsPortOpen()
{
    return m_open ? 1 : 0;
}

int EmulatorLine::SetBaudRate(int bps)
{
    if (!m_open || !IsStandardSpeed(bps))
        return 0;
    if (m_adapter.MaxBps() > 0 && bps > m_adapter.MaxBps()) {
        m_diagnostics.RecordRefusedSpeed(m_index, bps, m_adapter.MaxBps());
        return 0;
    }
    SetPcFormat(LineFormat::Raw8N1(bps));
    return 1;
}

void EmulatorLine::SetPcFormat(const LineFormat& format)
{
    Pump(); // what arrived so far was received with the old setting
    m_pc = format;
    m_camera.SetPeerFormat(m_pc);
}

int EmulatorLine::ClosePort()
{
    if (!m_open)
        return 1;
    Pump();
    m_received.clear();
    m_toCamera.clear();
    m_adapter.Clear();
    m_open = false;
    m_camera.LineDropped(m_clock.NowUs());
    return 1;
}

bool EmulatorLine::WriteChunk(const uint8_t* bytes, int count, uint32_t* written)
{
    *written = 0;
    if (!m_open)
        return false;
    Pump();
    // Each byte's end from the start of the write, so that the rounding of
    // one byte's time (43.4 us at 230400 bit/s) does not add up.
    const uint64_t start = std::max(m_clock.NowUs(), m_txFreeUs);
    for (int i = 0; i < count; ++i)
        m_toCamera.push_back(TimedByte{start + WireTimeUs(m_pc.bps, i + 1), bytes[i], m_pc});
    m_txFreeUs = start + WireTimeUs(m_pc.bps, count);
    *written = static_cast<uint32_t>(count);
    m_clock.AdvanceToUs(m_txFreeUs); // the write returns when its bytes have left
    return true;
}

void EmulatorLine::Pump()
{
    PumpTo(m_clock.NowUs());
}

void EmulatorLine::PumpTo(uint64_t nowUs)
{
    while (!m_toCamera.empty() && m_toCamera.front().atUs <= nowUs) {
        const TimedByte b = m_toCamera.front();
        m_toCamera.pop_front();
        m_camera.ReceiveFromLine(b.atUs, b.value, b.format);
    }
    m_camera.AdvanceTo(nowUs);
    for (const TimedByte& b : m_camera.TakeOutput(nowUs)) {
        if (!m_open)
            continue; // nobody listens on a closed port
        const std::vector<ReceivedByte> got = ReceiveAs(b.value, b.format, m_pc);
        if (!(b.format == m_pc)) {
            std::string seen;
            for (const ReceivedByte& r : got)
                seen += " " + std::to_string(r.value);
            m_camera.Note("garbled toward the PC: " + std::to_string(b.value) + " sent at " +
                          std::to_string(b.format.bps) + " bit/s, PC at " + std::to_string(m_pc.bps) + " got" +
                          (seen.empty() ? " nothing" : seen));
        }
        for (const ReceivedByte& r : got) {
            if (m_adapter.Usb())
                m_adapter.Arrive(b.atUs, r.value);
            else
                m_received.push_back(r.value);
        }
    }
    for (const AdapterModel::Due& d : m_adapter.TakeDue(nowUs))
        m_received.push_back(d.value);
}

uint64_t EmulatorLine::NextEventUs() const
{
    uint64_t next = m_camera.NextEventUs();
    if (!m_toCamera.empty())
        next = std::min(next, m_toCamera.front().atUs);
    return std::min(next, m_adapter.NextReleaseUs());
}

int EmulatorLine::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    uint32_t ignored = 0;
    if (read == nullptr)
        read = &ignored;
    *read = 0;
    if (!m_open || buffer == nullptr)
        return 0;
    if (count <= 0)
        return 1;
    Pump();
    const uint64_t start = m_clock.NowUs();
    uint64_t lastByte = start;
    int got = 0;
    for (;;) {
        while (got < count && !m_received.empty()) {
            buffer[got++] = m_received.front();
            m_received.pop_front();
            lastByte = m_clock.NowUs();
        }
        if (got == count)
            break;
        const uint64_t deadline = ReadDeadlineUs(m_pc.bps, count, start, lastByte, got);
        const uint64_t now = m_clock.NowUs();
        if (now >= deadline)
            break;
        const uint64_t next = NextEventUs();
        m_clock.AdvanceToUs(std::min(deadline, std::max(next, now + 1)));
    }
    *read = static_cast<uint32_t>(got);
    return 1;
}

int EmulatorLine::BytesInBuffer(uint32_t* count)
{
    if (count != nullptr)
        *count = 0;
    if (!m_open)
        return 0;
    Pump();
    if (count != nullptr)
        *count = static_cast<uint32_t>(m_received.size());
    return 1;
}

int EmulatorLine::ClearBuffers()
{
    if (!m_open)
        return 0;
    Pump();
    m_received.clear();
    return 1;
}

} // namespace oskel::emulator
