#include "protocol/Packet.h"

#include "protocol/ControlBytes.h"

#include <cstring>

namespace oskel {

uint16_t Checksum(const uint8_t* bytes, size_t count)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint16_t>(sum & 0xFFFFu);
}

void PutLe16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
}

uint16_t GetLe16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t GetLe32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

int FrameCommand(uint8_t* out, uint8_t letter, int length)
{
    out[0] = kESC;
    out[1] = letter;
    PutLe16(out + 2, static_cast<uint16_t>(length));
    PutLe16(out + kCommandHeaderSize + length, Checksum(out + kCommandHeaderSize, static_cast<size_t>(length)));
    return length + kCommandHeaderSize + kChecksumSize;
}

int BuildSetRegister(uint8_t* out, uint8_t reg, int32_t value)
{
    out[4] = kCmdSetRegister;
    out[5] = reg;
    PutLe32(out + 6, static_cast<uint32_t>(value));
    return FrameCommand(out, kCommandLetter, 6);
}

int BuildGetRegister(uint8_t* out, uint8_t reg)
{
    out[4] = kCmdGetRegister;
    out[5] = reg;
    return FrameCommand(out, kCommandLetter, 2);
}

int BuildAction(uint8_t* out, uint8_t code, uint8_t argument)
{
    out[4] = kCmdAction;
    out[5] = code;
    out[6] = argument;
    return FrameCommand(out, kCommandLetter, 3);
}

int BuildObjectCommand(uint8_t* out, uint8_t command, uint8_t kind)
{
    out[4] = command;
    out[5] = kind;
    return FrameCommand(out, kCommandLetter, 2);
}

int BuildRegisterBytes(uint8_t* out, uint8_t reg, const uint8_t* data, int n)
{
    out[4] = kCmdSendObject;
    out[5] = reg;
    if (n > 0)
        std::memmove(out + 6, data, static_cast<size_t>(n));
    return FrameCommand(out, kCommandLetter, n + 2);
}

int BuildSpeedPacket(uint8_t* out, uint8_t speedCode)
{
    out[4] = 0x00;
    out[5] = 0x11;
    out[6] = speedCode;
    out[7] = 0x00;
    out[8] = 0x00;
    out[9] = 0x00;
    return FrameCommand(out, kSpeedLetter, 6);
}

int FrameData(uint8_t* out, uint8_t type, uint8_t sequence, int length)
{
    out[0] = type;
    out[1] = sequence;
    PutLe16(out + 2, static_cast<uint16_t>(length));
    PutLe16(out + kDataHeaderSize + length, Checksum(out + kDataHeaderSize, static_cast<size_t>(length)));
    return length + kDataHeaderSize + kChecksumSize;
}

} // namespace oskel
