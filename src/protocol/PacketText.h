#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oskel {

// What the bytes on the line mean, in words: one text per command, speed
// packet, data packet and control byte. The wire trace and the camera
// emulator's log both speak in these.
std::string SetRegisterText(int reg, int32_t value);      // "SetRegister 51 = 1"
std::string GetRegisterText(int reg);                     // "GetRegister 1"
std::string ActionText(int code, int argument);           // "Action 11 (argument 0)"
std::string SendObjectText(int kind, int length);         // "SendObject kind 58 with 12 bytes"
std::string ReadObjectText(int kind);                     // "ReadObject 27"
std::string SpeedCodeText(int code);                      // "speed code 5 (115200 bit/s)", "speed code 0 (close)"
std::string DataPacketText(uint8_t type, uint8_t sequence, int length); // "data STX seq 3 len 2016"
std::string ByteHex(uint8_t byte);                        // "0x41"
// "ACK", "NAK", "ENQ", "DC1", "CAN", "STX", "ETX", "0xFF", "probe 0x00"; "0x41" for others.
std::string ControlByteText(uint8_t byte);
// The payload of a command packet (after ESC, 'C' and the length).
std::string CommandText(const uint8_t* payload, int length);

// Cuts one direction of the line into packets and control bytes and names
// each. Bytes may arrive in any pieces: a packet split over several reads
// is named once it is whole.
class PacketDecoder {
public:
    // The texts of what the bytes complete, in order.
    std::vector<std::string> Feed(const uint8_t* bytes, size_t count);
    // True while a packet has begun but not ended.
    bool InPacket() const { return !m_packet.empty(); }

private:
    std::string Complete();
    size_t Expected() const;

    std::vector<uint8_t> m_packet;
};

} // namespace oskel
