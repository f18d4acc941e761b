#pragma once

#include <cstdint>

namespace oskel {

// Single-byte signals on the line.
constexpr uint8_t kProbe = 0x00; // sent by the PC to start the handshake
constexpr uint8_t kSTX = 0x02;   // data packet, more follow
constexpr uint8_t kETX = 0x03;   // data packet, the last one
constexpr uint8_t kENQ = 0x05;   // a long operation has finished
constexpr uint8_t kACK = 0x06;
constexpr uint8_t kDC1 = 0x11;   // treated like NAK
constexpr uint8_t kNAK = 0x15;
constexpr uint8_t kCAN = 0x18;
constexpr uint8_t kLinkLost = 0xFF;

constexpr uint8_t kESC = 0x1B;
constexpr uint8_t kCommandLetter = 0x43; // 'C'
constexpr uint8_t kSpeedLetter = 0x53;   // 'S'

inline bool IsControlByte(uint8_t b)
{
    switch (b) {
    case kSTX:
    case kETX:
    case kENQ:
    case kACK:
    case kDC1:
    case kNAK:
    case kCAN:
    case kLinkLost:
        return true;
    default:
        return false;
    }
}

} // namespace oskel
