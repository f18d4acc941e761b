#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace oskel::test {

using Bytes = std::vector<uint8_t>;

// What a camera sends, byte for byte.
Bytes DataPacket(uint8_t type, uint8_t sequence, const Bytes& data);
Bytes RegisterReply(int32_t value, uint8_t sequence = 0);
// A register reply whose checksum is off by one.
Bytes BadChecksumRegisterReply(int32_t value);
Bytes Filled(size_t count, uint8_t first = 0);
Bytes Concat(std::initializer_list<Bytes> parts);

} // namespace oskel::test
