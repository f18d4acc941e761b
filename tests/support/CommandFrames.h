#pragma once

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

// A source over a byte vector that reports the end as soon as a piece comes
// out short; `onRead` runs before every read (to look at the sender's state).
class MemorySource : public ITransferSource {
public:
    explicit MemorySource(Bytes bytes) : data(std::move(bytes)) {}
    int Begin() override { return ++begins; }
    int Read(uint8_t* destination, int maximum, int* status) override
    {
        if (onRead)
            onRead();
        const int n = std::min<int>(maximum, static_cast<int>(data.size() - offset));
        std::copy(data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset) + n, destination);
        offset += static_cast<size_t>(n);
        *status = n < maximum ? 1 : 0;
        return n;
    }
    int End() override { return ++ends; }

    Bytes data;
    size_t offset = 0;
    int begins = 0;
    int ends = 0;
    std::function<void()> onRead;
};

} // namespace oskel::test
