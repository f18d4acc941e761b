#pragma once

#include "support/MemorySource.h"

#include "protocol/Packet.h"
#include "protocol/TransferInterfaces.h"
#include "support/CameraBytes.h"
#include "support/ScriptedLine.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace oskel::test {

using Bytes = std::vector<uint8_t>;

// The command packets the PC is expected to send, byte for byte.
inline Bytes SetRegFrame(uint8_t reg, int32_t value)
{
    Bytes b(12);
    BuildSetRegister(b.data(), reg, value);
    return b;
}

inline Bytes GetRegFrame(uint8_t reg)
{
    Bytes b(8);
    BuildGetRegister(b.data(), reg);
    return b;
}

inline Bytes ActionFrame(uint8_t code, uint8_t argument = 0)
{
    Bytes b(9);
    BuildAction(b.data(), code, argument);
    return b;
}

inline Bytes ReadObjectFrame(uint8_t kind)
{
    Bytes b(8);
    BuildObjectCommand(b.data(), kCmdReadObject, kind);
    return b;
}

inline Bytes SendObjectFrame(uint8_t kind)
{
    Bytes b(8);
    BuildObjectCommand(b.data(), kCmdSendObject, kind);
    return b;
}

// A register value; the PC's acknowledgement of it gets no answer.
inline void ReplyRegister(ScriptedLine& line, int32_t value, uint32_t delayMs = 0)
{
    line.Reply(RegisterReply(value), delayMs);
    line.ReplySilence();
}

// The last data packet of an object; its acknowledgement gets no answer.
inline void ReplyLastPacket(ScriptedLine& line, const Bytes& data)
{
    line.Reply(DataPacket(0x03, 0, data));
    line.ReplySilence();
}


} // namespace oskel::test
