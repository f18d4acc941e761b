#pragma once

#include <cstddef>
#include <cstdint>

namespace oskel {

// Command codes, the first payload byte of a command packet.
constexpr uint8_t kCmdSetRegister = 0;
constexpr uint8_t kCmdGetRegister = 1;
constexpr uint8_t kCmdAction = 2;
constexpr uint8_t kCmdSendObject = 3;
constexpr uint8_t kCmdReadObject = 4;

constexpr int kPacketBufferSize = 4096;
constexpr int kCommandHeaderSize = 4;   // ESC, letter, 16-bit length
constexpr int kDataHeaderSize = 4;      // type, sequence, 16-bit length
constexpr int kChecksumSize = 2;
constexpr int kMaxRegisterBytes = 2040; // data bytes of one SetRegisterBytes
constexpr int kFirstPieceSize = 128;    // data bytes of the first packet sent
constexpr int kLaterPieceSize = 2016;   // data bytes of every later packet sent
constexpr int kSpeedPacketSize = 12;

// Unsigned sum of the bytes, modulo 65536.
uint16_t Checksum(const uint8_t* bytes, size_t count);

void PutLe16(uint8_t* at, uint16_t value);
void PutLe32(uint8_t* at, uint32_t value);
uint16_t GetLe16(const uint8_t* at);
uint32_t GetLe32(const uint8_t* at);

// Frames a payload of `length` bytes already at out + 4: writes the header
// (ESC, letter, length) and the trailing checksum. Returns the packet length.
int FrameCommand(uint8_t* out, uint8_t letter, int length);

// Builders for the fixed commands; `out` needs room for the returned length.
int BuildSetRegister(uint8_t* out, uint8_t reg, int32_t value);  // 12 bytes
int BuildGetRegister(uint8_t* out, uint8_t reg);                 // 8 bytes
int BuildAction(uint8_t* out, uint8_t code, uint8_t argument);   // 9 bytes
int BuildObjectCommand(uint8_t* out, uint8_t command, uint8_t kind); // 8 bytes
int BuildRegisterBytes(uint8_t* out, uint8_t reg, const uint8_t* data, int n); // n + 8 bytes
int BuildSpeedPacket(uint8_t* out, uint8_t speedCode);          // 12 bytes

// Frames a data packet whose `length` data bytes are already at out + 4.
int FrameData(uint8_t* out, uint8_t type, uint8_t sequence, int length);

} // namespace oskel
