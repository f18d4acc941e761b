#include "RecordingSerialOps.h"

#include <algorithm>
#include <time.h>

namespace oskel::bench {

uint64_t NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

namespace {

std::vector<uint8_t> Head(const uint8_t* bytes, int n)
{
    if (bytes == nullptr || n <= 0)
        return {};
    return std::vector<uint8_t>(bytes, bytes + std::min<size_t>(static_cast<size_t>(n), LineEvent::kHeadBytes));
}

} // namespace

LineEvent RecordingSerialOps::Begin(LineEvent::Kind kind) const
{
    LineEvent e;
    e.kind = kind;
    e.bps = m_bps;
    e.startUs = ClockUs();
    return e;
}

void RecordingSerialOps::End(LineEvent event)
{
    event.endUs = ClockUs();
    if (m_recording)
        m_log.push_back(std::move(event));
}

int RecordingSerialOps::OpenPort(int index)
{
    LineEvent e = Begin(LineEvent::Kind::Open);
    const int r = m_inner.OpenPort(index);
    e.value = static_cast<uint32_t>(index);
    End(std::move(e));
    return r;
}

int RecordingSerialOps::SetBaudRate(int bps)
{
    LineEvent e = Begin(LineEvent::Kind::Speed);
    const int r = m_inner.SetBaudRate(bps);
    if (r != 0)
        m_bps = bps;
    e.bps = m_bps;
    End(std::move(e));
    return r;
}

int RecordingSerialOps::ClosePort()
{
    LineEvent e = Begin(LineEvent::Kind::Close);
    const int r = m_inner.ClosePort();
    End(std::move(e));
    return r;
}

int RecordingSerialOps::WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    uint32_t moved = 0;
    LineEvent e = Begin(LineEvent::Kind::Write);
    const int r = m_inner.WritePort(bytes, count, &moved, pacing);
    if (written != nullptr)
        *written = moved;
    e.count = count;
    e.moved = static_cast<int>(moved);
    e.pacing = pacing;
    e.spinPerMs = m_inner.SpinPerMs();
    e.head = Head(bytes, e.moved);
    if (bytes != nullptr && e.moved > 0)
        e.data.assign(bytes, bytes + e.moved);
    End(std::move(e));
    return r;
}

int RecordingSerialOps::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    uint32_t moved = 0;
    LineEvent e = Begin(LineEvent::Kind::Read);
    const int r = m_inner.ReadPort(buffer, count, &moved);
    if (read != nullptr)
        *read = moved;
    e.count = count;
    e.moved = static_cast<int>(moved);
    e.head = Head(buffer, e.moved);
    End(std::move(e));
    return r;
}

int RecordingSerialOps::BytesInBuffer(uint32_t* count)
{
    LineEvent e = Begin(LineEvent::Kind::Query);
    const int r = m_inner.BytesInBuffer(count);
    End(std::move(e));
    return r;
}

int RecordingSerialOps::ClearBuffers()
{
    LineEvent e = Begin(LineEvent::Kind::Purge);
    const int r = m_inner.ClearBuffers();
    End(std::move(e));
    return r;
}

int RecordingSerialOps::DelayCalibrate(int ms)
{
    LineEvent e = Begin(LineEvent::Kind::Calibrate);
    const int r = m_inner.DelayCalibrate(ms);
    e.value = ms < 0 ? 0u : static_cast<uint32_t>(ms);
    End(std::move(e));
    return r;
}

void RecordingTimeSource::WaitMs(uint32_t ms)
{
    LineEvent e;
    e.kind = LineEvent::Kind::Wait;
    e.bps = m_line.Speed();
    e.value = ms;
    e.startUs = m_line.ClockUs();
    m_inner.WaitMs(ms);
    e.endUs = m_line.ClockUs();
    if (m_recording)
        m_log.push_back(std::move(e));
}

} // namespace oskel::bench
