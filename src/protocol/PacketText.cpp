#include "protocol/PacketText.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/SpeedCodes.h"

#include <cstdio>

namespace oskel {

std::string ByteHex(uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::string SetRegisterText(int reg, int32_t value)
{
    return "SetRegister " + std::to_string(reg) + " = " + std::to_string(value);
}

std::string GetRegisterText(int reg)
{
    return "GetRegister " + std::to_string(reg);
}

std::string ActionText(int code, int argument)
{
    return "Action " + std::to_string(code) + " (argument " + std::to_string(argument) + ")";
}

std::string SendObjectText(int kind, int length)
{
    return "SendObject kind " + std::to_string(kind) + " with " + std::to_string(length) + " bytes";
}

std::string ReadObjectText(int kind)
{
    return "ReadObject " + std::to_string(kind);
}

std::string SpeedCodeText(int code)
{
    if (code == kCloseSpeedCode)
        return "speed code 0 (close)";
    const int bps = SpeedForCode(code);
    return "speed code " + std::to_string(code) + (bps > 0 ? " (" + std::to_string(bps) + " bit/s)" : " (unknown)");
}

std::string DataPacketText(uint8_t type, uint8_t sequence, int length)
{
    return std::string("data ") + (type == kETX ? "ETX" : "STX") + " seq " + std::to_string(sequence) + " len " +
           std::to_string(length);
}

std::string ControlByteText(uint8_t byte)
{
    switch (byte) {
    case kProbe:
        return "probe 0x00";
    case kSTX:
        return "STX";
    case kETX:
        return "ETX";
    case kENQ:
        return "ENQ";
    case kACK:
        return "ACK";
    case kDC1:
        return "DC1";
    case kNAK:
        return "NAK";
    case kCAN:
        return "CAN";
    case kLinkLost:
        return "0xFF";
    default:
        return ByteHex(byte);
    }
}

std::string CommandText(const uint8_t* payload, int length)
{
    if (length < 1)
        return "empty command";
    const int target = length >= 2 ? payload[1] : 0;
    switch (payload[0]) {
    case kCmdSetRegister:
        return length == 6 ? SetRegisterText(target, static_cast<int32_t>(GetLe32(payload + 2)))
                           : "SetRegister with length " + std::to_string(length);
    case kCmdGetRegister:
        return length == 2 ? GetRegisterText(target) : "GetRegister with length " + std::to_string(length);
    case kCmdAction:
        return length == 3 ? ActionText(target, payload[2]) : "Action with length " + std::to_string(length);
    case kCmdSendObject:
        return length >= 2 ? SendObjectText(target, length - 2) : "SendObject without a kind";
    case kCmdReadObject:
        return length == 2 ? ReadObjectText(target) : "ReadObject with length " + std::to_string(length);
    default:
        return "unknown command code " + std::to_string(payload[0]);
    }
}

// A command or speed packet: ESC, letter, 16-bit length, payload, checksum.
// A data packet: type, sequence, 16-bit length, data, checksum.
size_t PacketDecoder::Expected() const
{
    if (m_packet.size() < 4)
        return 0;
    return 4 + GetLe16(m_packet.data() + 2) + kChecksumSize;
}

std::string PacketDecoder::Complete()
{
    const uint8_t* p = m_packet.data();
    const int length = GetLe16(p + 2);
    const bool sumOk = GetLe16(p + 4 + length) == Checksum(p + 4, static_cast<size_t>(length));
    std::string text;
    if (p[0] != kESC)
        text = DataPacketText(p[0], p[1], length);
    else if (p[1] == kSpeedLetter)
        text = length >= 3 ? SpeedCodeText(p[4 + 2]) : "speed packet with length " + std::to_string(length);
    else if (p[1] == kCommandLetter)
        text = CommandText(p + 4, length);
    else
        text = "packet with letter " + ByteHex(p[1]);
    m_packet.clear();
    return sumOk ? text : text + ", bad checksum";
}

std::vector<std::string> PacketDecoder::Feed(const uint8_t* bytes, size_t count)
{
    std::vector<std::string> texts;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        if (m_packet.empty() && b != kESC && b != kSTX && b != kETX) {
            texts.push_back(ControlByteText(b));
            continue;
        }
        m_packet.push_back(b);
        if (m_packet.size() == 4 && Expected() > static_cast<size_t>(kPacketBufferSize)) {
            // No packet is that long: a garbled header, told as it came.
            for (const uint8_t g : m_packet)
                texts.push_back(ControlByteText(g));
            m_packet.clear();
        } else if (m_packet.size() >= 4 && m_packet.size() == Expected()) {
            texts.push_back(Complete());
        }
    }
    return texts;
}

} // namespace oskel
