// What the camera does with each byte from the PC: the probe, command
// packets, data packets of an object being received, and the PC's answers
// to the data packets the camera sends.
#include "emulator/CameraEngine.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/PacketText.h"

#include <algorithm>
#include <cstdio>

namespace oskel::emulator {
namespace {

constexpr int kMaxCommandPayload = 2 + 2040;

// The PC's answers to a data packet the camera sent, and ENQ.
bool IsAnswerByte(uint8_t b)
{
    return b == kACK || b == kNAK || b == kCAN || b == kDC1 || b == kENQ;
}

} // namespace

void CameraEngine::ExpireStaleState()
{
    const uint64_t quiet = m_now - m_lastInputUs;
    if ((m_rx == Rx::Command || (m_rx == Rx::ReceiveData && !m_packet.empty())) && quiet > kInterByteTimeoutUs) {
        Log("CAMERA", "incomplete packet dropped after a pause");
        m_packet.clear();
        m_packetSize = 0;
        if (m_rx == Rx::Command)
            m_rx = Rx::Idle;
    }
    if (m_rx == Rx::AwaitAnswer && m_now - std::max(m_awaitSinceUs, m_lastInputUs) > kAnswerTimeoutUs) {
        Log("CAMERA", "no answer to the data packet: transfer dropped");
        m_rx = Rx::Idle;
    }
    if (m_rx == Rx::ReceiveData && m_packet.empty() && quiet > kReceiveIdleTimeoutUs) {
        Log("CAMERA", "object transfer abandoned by the PC");
        m_in = Incoming();
        m_rx = Rx::Idle;
    }
}

void CameraEngine::OnByte(uint8_t b)
{
    if (Silenced()) {
        m_lastInputUs = m_now;
        return;
    }
    ExpireStaleState();
    m_lastInputUs = m_now;
    switch (m_rx) {
    case Rx::Idle:
        if (b == kESC) {
            StartPacket(b, Rx::Command);
        } else if (b == kProbe && m_speed == 19200) {
            Log("PC>CAM", ControlByteText(kProbe));
            Send({kNAK}, "NAK (probe answered)");
        } else if (IsAnswerByte(b)) {
            Log("PC>CAM", ControlByteText(b) + " (nothing to answer)");
        }
        break;
    case Rx::Command:
        OnCommandByte(b);
        break;
    case Rx::Discard: {
        std::erase_if(m_timers, [](const Timer& t) { return t.type == TimerType::DiscardNak; });
        Timer t;
        t.type = TimerType::DiscardNak;
        t.at = m_now + kDiscardGapUs;
        Schedule(t);
        break;
    }
    case Rx::AwaitAnswer:
        OnAnswerByte(b);
        break;
    case Rx::ReceiveData:
        OnReceiveDataByte(b);
        break;
    }
}

// A break: the PC probing at 19200 bit/s while the camera listens faster.
// The camera drops back to 19200 and answers as it answers the probe.
void CameraEngine::OnBreak()
{
    if (Silenced())
        return;
    Log("PC>CAM", "break on the line: link back to 19200 bit/s, answered as the probe");
    std::erase_if(m_timers, [](const Timer& t) { return t.type != TimerType::ActionDone; });
    m_speed = 19200;
    m_rx = Rx::Idle;
    m_packet.clear();
    m_in = Incoming();
    m_lastInputUs = m_now;
    Send({kNAK}, "NAK (probe answered)");
}

void CameraEngine::StartPacket(uint8_t b, Rx state)
{
    m_rx = state;
    m_packet.assign(1, b);
    m_packetSize = 0;
}

void CameraEngine::EnterDiscard(Rx returnTo, const std::string& why)
{
    Log("PC>CAM", "bad packet header (" + why + "): waiting for a quiet line, then NAK");
    m_discardReturn = returnTo;
    m_rx = Rx::Discard;
    m_packet.clear();
    Timer t;
    t.type = TimerType::DiscardNak;
    t.at = m_now + kDiscardGapUs;
    Schedule(t);
}

void CameraEngine::OnCommandByte(uint8_t b)
{
    m_packet.push_back(b);
    if (m_packet.size() == 2 && b != kCommandLetter && b != kSpeedLetter) {
        char letter[16];
        std::snprintf(letter, sizeof letter, "letter 0x%02X", b);
        return EnterDiscard(Rx::Idle, letter);
    }
    if (m_packet.size() == 4) {
        const int length = GetLe16(m_packet.data() + 2);
        const bool speed = m_packet[1] == kSpeedLetter;
        if (length < 1 || length > kMaxCommandPayload || (speed && length != 6))
            return EnterDiscard(Rx::Idle, "length " + std::to_string(length));
        m_packetSize = static_cast<size_t>(length) + 6u;
    }
    if (m_packetSize != 0 && m_packet.size() == m_packetSize)
        CompleteCommand();
}

void CameraEngine::OnReceiveDataByte(uint8_t b)
{
    if (m_packet.empty()) {
        if (b == kSTX || b == kETX) {
            m_packet.assign(1, b);
            m_packetSize = 0;
        } else if (b == kCAN) {
            Log("PC>CAM", "CAN: object transfer cancelled");
            m_in = Incoming();
            m_rx = Rx::Idle;
        } else if (b == kESC) {
            if (!m_in.done)
                Log("CAMERA", "object transfer abandoned: a new command begins");
            m_in = Incoming();
            StartPacket(b, Rx::Command);
        }
        return;
    }
    m_packet.push_back(b);
    if (m_packet.size() == 4) {
        const int length = GetLe16(m_packet.data() + 2);
        if (length > kMaxDataPacket)
            return EnterDiscard(Rx::ReceiveData, "data length " + std::to_string(length));
        m_packetSize = static_cast<size_t>(length) + 6u;
    }
    if (m_packetSize != 0 && m_packet.size() == m_packetSize)
        CompleteDataPacket();
}

void CameraEngine::OnAnswerByte(uint8_t b)
{
    switch (b) {
    case kACK:
        Log("PC>CAM", "ACK");
        m_outOffset += m_outChunk;
        ++m_outSequence;
        m_outResends = 0;
        if (m_outOffset >= m_out.size()) {
            m_rx = Rx::Idle;
            return;
        }
        SendOutPacket();
        return;
    case kNAK:
        Log("PC>CAM", "NAK");
        if (++m_outResends > kMaxResends) {
            Log("CAMERA", "too many NAKs: transfer dropped");
            m_rx = Rx::Idle;
            return;
        }
        SendOutPacket();
        return;
    case kCAN:
        Log("PC>CAM", "CAN: transfer cancelled");
        m_rx = Rx::Idle;
        return;
    case kESC:
        Log("CAMERA", "transfer dropped: a new command begins");
        StartPacket(b, Rx::Command);
        return;
    default:
        return;
    }
}

// Faults that replace the answer to a whole packet. True when the packet is
// not to be acted on.
bool CameraEngine::ApplyPacketFaults(const std::string& what)
{
    const std::vector<Fault> fired = m_faults.Hit(FaultEvent::PacketIn);
    for (const Fault& f : fired) {
        if (f.kind == FaultKind::StrayBytes)
            m_strayPending += static_cast<int>(f.argument < 0 ? 3 : std::min<int64_t>(f.argument, 64));
    }
    for (const Fault& f : fired) {
        switch (f.kind) {
        case FaultKind::Silence:
            Log("PC>CAM", what + " -> fault: silence" +
                              (f.argument > 0 ? " for " + std::to_string(f.argument) + " ms" : " for good"));
            m_silent = true;
            m_silentForever = f.argument <= 0;
            m_silentUntilUs = m_now + static_cast<uint64_t>(f.argument > 0 ? f.argument : 0) * 1000u;
            m_rx = Rx::Idle;
            m_packet.clear();
            return true;
        case FaultKind::Nak:
            Log("PC>CAM", what + " -> fault: NAK");
            Send({kNAK}, "NAK (fault)");
            return true;
        case FaultKind::Dc1:
            Log("PC>CAM", what + " -> fault: DC1");
            Send({kDC1}, "DC1 (fault)");
            return true;
        case FaultKind::LinkLost:
            Log("PC>CAM", what + " -> fault: 0xFF");
            Send({kLinkLost}, "0xFF (fault)");
            return true;
        default:
            break;
        }
    }
    return false;
}

void CameraEngine::CompleteCommand()
{
    std::vector<uint8_t> packet;
    packet.swap(m_packet);
    m_packetSize = 0;
    m_rx = Rx::Idle;
    const int length = GetLe16(packet.data() + 2);
    const uint8_t* payload = packet.data() + 4;
    const bool speed = packet[1] == kSpeedLetter;
    if (ApplyPacketFaults(speed ? "speed packet" : "command packet"))
        return;
    if (GetLe16(payload + length) != Checksum(payload, static_cast<size_t>(length))) {
        Log("PC>CAM", "command packet with a bad checksum");
        Send({kNAK}, "NAK (bad checksum)");
        return;
    }
    if (speed)
        OnSpeedPacket(payload, length);
    else
        OnCommand(payload, length);
}

void CameraEngine::CompleteDataPacket()
{
    std::vector<uint8_t> packet;
    packet.swap(m_packet);
    m_packetSize = 0;
    const uint8_t type = packet[0];
    const uint8_t sequence = packet[1];
    const int length = GetLe16(packet.data() + 2);
    const std::string what = DataPacketText(type, sequence, length);
    if (ApplyPacketFaults(what))
        return;
    const uint8_t* data = packet.data() + 4;
    if (GetLe16(data + length) != Checksum(data, static_cast<size_t>(length))) {
        Log("PC>CAM", std::string(what) + ", bad checksum");
        Send({kNAK}, "NAK (bad checksum)");
        return;
    }
    if (m_in.packets > 0 && sequence == static_cast<uint8_t>(m_in.sequence - 1)) {
        Log("PC>CAM", std::string(what) + " (again: already taken)");
        Send({kACK}, "ACK");
        return;
    }
    if (m_in.done || sequence != m_in.sequence) {
        Log("PC>CAM", std::string(what) + ", out of sequence");
        Send({kNAK}, "NAK (sequence)");
        return;
    }
    // A program must fit in the free memory; any other object in the whole
    // memory, so that no sender can make the camera grow without bound.
    const size_t room = m_in.kind == 58 ? m_store.Free() : m_store.Capacity();
    if (m_in.data.size() + static_cast<size_t>(length) > room) {
        Log("PC>CAM", std::string(what) + ": the object does not fit in memory");
        Send({kCAN}, "CAN (memory full)");
        m_in = Incoming();
        m_rx = Rx::Idle;
        return;
    }
    Log("PC>CAM", what);
    m_in.data.insert(m_in.data.end(), data, data + length);
    ++m_in.sequence;
    ++m_in.packets;
    Send({kACK}, "ACK");
    if (type == kETX) {
        m_in.done = true;
        m_pending = m_in;
        m_pending.active = true;
        Log("CAMERA", "object of kind " + std::to_string(m_in.kind) + " received: " +
                          std::to_string(m_in.data.size()) + " bytes, stored when action 11 runs");
    }
}

void CameraEngine::SendOutPacket()
{
    const size_t remaining = m_out.size() - m_outOffset;
    m_outChunk = m_outSingle ? remaining : std::min(remaining, static_cast<size_t>(m_config.objectPacketSize));
    const bool last = m_outOffset + m_outChunk >= m_out.size();
    std::vector<uint8_t> packet(m_outChunk + 6u);
    std::copy_n(m_out.begin() + static_cast<std::ptrdiff_t>(m_outOffset), m_outChunk, packet.begin() + 4);
    FrameData(packet.data(), last ? kETX : kSTX, m_outSequence, static_cast<int>(m_outChunk));
    std::string text = DataPacketText(last ? kETX : kSTX, m_outSequence, static_cast<int>(m_outChunk));
    for (const Fault& f : m_faults.Hit(FaultEvent::DataOut)) {
        if (f.kind == FaultKind::CorruptChecksum) {
            packet[packet.size() - 2] = static_cast<uint8_t>(packet[packet.size() - 2] ^ 0x5A);
            text += " with a corrupted checksum (fault)";
        }
    }
    m_rx = Rx::AwaitAnswer;
    Send(packet, text);
    m_awaitSinceUs = m_txFreeUs;
}

} // namespace oskel::emulator
