// The camera's clock, timers and transmitter.
#include "emulator/CameraEngine.h"

#include "protocol/PacketText.h"
#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace oskel::emulator {
CameraEngine::CameraEngine(CameraConfig config)
    : m_config(std::move(config)), m_store(m_config.capacityBytes, AcceptedSignature(m_config.modelText))
{
    for (StoredProgram& p : m_config.programs)
        m_store.Add(p.name, p.data);
    m_config.programs.clear();
    m_registers = {{1, 1},  {2, 0},  {3, 0},  {4, 0},  {6, 1},  {7, 2},  {11, 0}, {23, 60}, {24, 30},
                   {30, 0}, {32, 0}, {33, 0}, {35, 3}, {36, 4}, {38, 10}, {51, 0}, {54, 120}, {56, 0},
                   {65, 2}};
    m_texts = {{22, m_config.cameraId},
               {25, m_config.text25},
               {26, m_config.cameraVersion},
               {27, m_config.modelText},
               {37, m_config.text37}};
    for (auto& [reg, text] : m_texts) {
        if (text.size() > static_cast<size_t>(TextRegisterSize(reg)))
            text.resize(static_cast<size_t>(TextRegisterSize(reg)));
    }
    m_itemFlags.assign(static_cast<size_t>(std::max(0, m_config.itemCount)), 0);
    m_battery = m_config.battery;
    if (m_config.objectPacketSize < 1)
        m_config.objectPacketSize = 1;
    if (m_config.objectPacketSize > kMaxDataPacket)
        m_config.objectPacketSize = kMaxDataPacket;
}

void CameraEngine::AdvanceTo(uint64_t nowUs)
{
    for (;;) {
        auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                     [](const Timer& a, const Timer& b) { return a.at < b.at; });
        if (next == m_timers.end() || next->at > nowUs)
            break;
        const Timer timer = *next;
        m_timers.erase(next);
        m_now = std::max(m_now, timer.at);
        Fire(timer);
    }
    m_now = std::max(m_now, nowUs);
}

void CameraEngine::ReceiveFromLine(uint64_t atUs, uint8_t byte, const LineFormat& sender)
{
    AdvanceTo(atUs);
    const LineFormat own = LineFormat::Raw8N1(m_speed);
    const std::vector<ReceivedByte> got = ReceiveAs(byte, sender, own);
    if (!(sender == own)) {
        std::string seen;
        for (const ReceivedByte& r : got)
            seen += " " + ByteHex(r.value) + (r.framingError ? "(framing error)" : "");
        Log("PC>CAM", "garbled: " + ByteHex(byte) + " sent at " + std::to_string(sender.bps) + " bit/s, camera at " +
                          std::to_string(m_speed) + " got" + (seen.empty() ? " nothing" : seen));
    }
    for (const ReceivedByte& r : got) {
        if (r.IsBreak())
            OnBreak();
        else
            OnByte(r.value);
    }
}

void CameraEngine::LineDropped(uint64_t atUs)
{
    AdvanceTo(atUs);
    std::erase_if(m_timers, [](const Timer& t) { return t.type != TimerType::ActionDone; });
    if (m_speed != 19200)
        Log("CAMERA", "port closed by the PC: link back to 19200 bit/s");
    m_speed = 19200;
    m_rx = Rx::Idle;
    m_packet.clear();
    m_in = Incoming();
    m_strayPending = 0;
}

uint64_t CameraEngine::NextEventUs() const
{
    return std::min(NextTimerUs(), NextOutputUs());
}

uint64_t CameraEngine::NextTimerUs() const
{
    uint64_t next = std::numeric_limits<uint64_t>::max();
    for (const Timer& t : m_timers)
        next = std::min(next, t.at);
    return next;
}

uint64_t CameraEngine::NextOutputUs() const
{
    return m_output.empty() ? std::numeric_limits<uint64_t>::max() : m_output.front().atUs;
}

uint64_t CameraEngine::LastOutputDueBy(uint64_t limitUs) const
{
    uint64_t last = 0;
    for (const TimedByte& b : m_output) {
        if (b.atUs > limitUs)
            break;
        last = b.atUs;
    }
    return last;
}

std::vector<TimedByte> CameraEngine::TakeOutput(uint64_t upToUs)
{
    std::vector<TimedByte> out;
    while (!m_output.empty() && m_output.front().atUs <= upToUs) {
        out.push_back(m_output.front());
        m_output.pop_front();
    }
    return out;
}

void CameraEngine::Schedule(const Timer& timer)
{
    m_timers.push_back(timer);
}

void CameraEngine::Fire(const Timer& timer)
{
    switch (timer.type) {
    case TimerType::SpeedSwitch:
        if (m_speed != timer.code)
            Log("CAMERA", "speed now " + std::to_string(timer.code) + " bit/s");
        m_speed = timer.code;
        break;
    case TimerType::DiscardNak:
        if (m_rx == Rx::Discard) {
            m_rx = m_discardReturn;
            m_packet.clear();
            Send({0x15}, "NAK (bad packet header)");
        }
        break;
    case TimerType::ActionDone:
        FinishAction(timer);
        break;
    }
}

bool CameraEngine::Silenced()
{
    if (!m_silent)
        return false;
    if (!m_silentForever && m_now >= m_silentUntilUs) {
        m_silent = false;
        Log("CAMERA", "silence over");
        return false;
    }
    return true;
}

void CameraEngine::Send(const std::vector<uint8_t>& bytes, const std::string& what)
{
    if (Silenced()) {
        Log("CAMERA", "silent: " + what + " not sent");
        return;
    }
    std::vector<uint8_t> all;
    if (m_strayPending > 0) {
        for (int i = 0; i < m_strayPending; ++i)
            all.push_back(static_cast<uint8_t>(0x41 + i % 26));
        Log("CAM>PC", std::to_string(m_strayPending) + " stray bytes (fault)");
        m_strayPending = 0;
    }
    all.insert(all.end(), bytes.begin(), bytes.end());
    Log("CAM>PC", what);
    const uint64_t start = std::max(m_now + m_config.answerDelayUs, m_txFreeUs);
    const LineFormat format = LineFormat::Raw8N1(m_speed);
    for (size_t i = 0; i < all.size(); ++i) {
        const uint64_t end = start + WireTimeUs(m_speed, static_cast<int>(i + 1));
        m_output.push_back(TimedByte{end, all[i], format});
        m_txFreeUs = end;
    }
}

void CameraEngine::Note(const std::string& text)
{
    Log("LINE", text);
}

void CameraEngine::Log(const char* direction, const std::string& text)
{
    if (!m_log)
        return;
    char head[96];
    std::snprintf(head, sizeof head, "%6llu.%06llu %-6s pc %6d cam %6d  ",
                  static_cast<unsigned long long>(m_now / 1000000u),
                  static_cast<unsigned long long>(m_now % 1000000u), direction, m_peer.bps, m_speed);
    std::string line = head;
    if (!(m_peer == LineFormat::Raw8N1(m_peer.bps)))
        line += "[pc framing " + std::to_string(m_peer.dataBits) + (m_peer.parity == LineFormat::kNone ? "N" : "P") +
                std::to_string(m_peer.stopBits) + "] ";
    m_log(line + text);
}

bool CameraEngine::Ready() const
{
    return m_busyActions == 0 && m_now >= m_readyAtUs;
}

std::string CameraEngine::TextValue(int reg) const
{
    const auto it = m_texts.find(reg);
    return it == m_texts.end() ? std::string() : it->second;
}

} // namespace oskel::emulator
