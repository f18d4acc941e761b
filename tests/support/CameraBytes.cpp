#include "support/CameraBytes.h"

#include "protocol/Packet.h"

namespace oskel::test {

Bytes DataPacket(uint8_t type, uint8_t sequence, const Bytes& data)
{
    Bytes out{type, sequence, static_cast<uint8_t>(data.size() & 0xFF), static_cast<uint8_t>(data.size() >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    const uint16_t sum = Checksum(data.data(), data.size());
    out.push_back(static_cast<uint8_t>(sum & 0xFF));
    out.push_back(static_cast<uint8_t>(sum >> 8));
    return out;
}

Bytes RegisterReply(int32_t value, uint8_t sequence)
{
    Bytes data(4);
    PutLe32(data.data(), static_cast<uint32_t>(value));
    return DataPacket(0x03, sequence, data);
}

Bytes BadChecksumRegisterReply(int32_t value)
{
    Bytes reply = RegisterReply(value);
    reply[reply.size() - 2] ^= 0x01;
    return reply;
}

Bytes Filled(size_t count, uint8_t first)
{
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(first + i);
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace oskel::test
