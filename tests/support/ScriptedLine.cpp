#include "support/ScriptedLine.h"

#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <string>

namespace oskel::test {

ScriptedLine::ScriptedLine(VirtualTimeSource& time)
    : PacedSerialOps(time, priority), clock(time), m_openable{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}
{
}

void ScriptedLine::Reply(Bytes bytes, uint32_t delayMs)
{
    m_replies.push_back({std::move(bytes), delayMs});
}

void ScriptedLine::Inject(Bytes bytes)
{
    Schedule(bytes, clock.NowUs());
}

void ScriptedLine::Schedule(const Bytes& bytes, uint64_t atUs)
{
    for (uint8_t b : bytes)
        m_input.push_back({atUs, b});
    std::stable_sort(m_input.begin(), m_input.end(),
                     [](const Arrival& a, const Arrival& b) { return a.atUs < b.atUs; });
}

int ScriptedLine::OpenPort(int index)
{
    openAttempts.push_back(index);
    if (index < kMinPortIndex || index > kMaxPortIndex || m_openable.count(index) == 0) {
        m_diagnostics.Record(OpenError{m_refusal, "COM" + std::to_string(index + 1), 0});
        return 0;
    }
    m_diagnostics.Record(OpenError{});
    m_open = true;
    return 1;
}

int ScriptedLine::SetBaudRate(int bps)
{
    baudRates.push_back(bps);
    if (!m_open || m_baudFails)
        return 0;
    m_speed = bps;
    return 1;
}

int ScriptedLine::ClosePort()
{
    if (m_open) {
        ClearBuffers();
        ++closes;
    }
    m_open = false;
    return 1;
}

int ScriptedLine::WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    if (bytes != nullptr && count > 0)
        writes.push_back({Bytes(bytes, bytes + count), pacing, clock.TickCount()});
    m_lastPacing = pacing;
    return PacedSerialOps::WritePort(bytes, count, written, pacing);
}

bool ScriptedLine::WriteChunk(const uint8_t* bytes, int count, uint32_t* written)
{
    chunks.emplace_back(bytes, bytes + count);
    m_partial.insert(m_partial.end(), bytes, bytes + count);
    *written = static_cast<uint32_t>(count);
    TakeFrames();
    return true;
}

// Cuts complete frames off the front of what the PC has written.
void ScriptedLine::TakeFrames()
{
    for (;;) {
        if (m_partial.empty())
            return;
        size_t size = 1;
        const uint8_t first = m_partial[0];
        if (first == 0x1B || first == 0x02 || first == 0x03) {
            if (m_partial.size() < 4)
                return;
            size = 6u + static_cast<size_t>(m_partial[2] | (m_partial[3] << 8));
        }
        if (m_partial.size() < size)
            return;
        Bytes frame(m_partial.begin(), m_partial.begin() + static_cast<long>(size));
        m_partial.erase(m_partial.begin(), m_partial.begin() + static_cast<long>(size));
        frames.push_back({frame, clock.TickCount(), m_lastPacing});
        if (!m_replies.empty()) {
            Pending reply = std::move(m_replies.front());
            m_replies.pop_front();
            Schedule(reply.bytes, clock.NowUs() + 1000ull * reply.delayMs);
        } else if (m_responder) {
            Schedule(m_responder(frame), clock.NowUs());
        }
    }
}

int ScriptedLine::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    *read = 0;
    if (!m_open)
        return 0;
    const uint64_t start = clock.NowUs();
    uint64_t lastByte = start;
    int got = 0;
    while (got < count) {
        if (!m_input.empty() && m_input.front().atUs <= clock.NowUs()) {
            buffer[got++] = m_input.front().byte;
            m_input.pop_front();
            lastByte = clock.NowUs();
            continue;
        }
        const uint64_t limit = ReadDeadlineUs(m_speed, count, start, lastByte, got);
        if (!m_input.empty() && m_input.front().atUs <= limit) {
            clock.AdvanceToUs(m_input.front().atUs);
            continue;
        }
        clock.AdvanceToUs(limit);
        break;
    }
    *read = static_cast<uint32_t>(got);
    return 1;
}

int ScriptedLine::BytesInBuffer(uint32_t* count)
{
    uint32_t n = 0;
    for (const auto& a : m_input)
        n += a.atUs <= clock.NowUs() ? 1u : 0u;
    *count = n;
    return m_open ? 1 : 0;
}

int ScriptedLine::ClearBuffers()
{
    if (!m_open)
        return 0;
    ++clears;
    const uint64_t now = clock.NowUs();
    m_input.erase(std::remove_if(m_input.begin(), m_input.end(), [now](const Arrival& a) { return a.atUs <= now; }),
                  m_input.end());
    m_partial.clear();
    return 1;
}

} // namespace oskel::test
