#pragma once

#include <cstdint>

namespace oskel {

constexpr int kProbeSpeed = 19200;
constexpr uint8_t kCloseSpeedCode = 0;
constexpr int kLinkSpeeds[] = {9600, 19200, 38400, 57600, 115200, 230400};

// The speed packet's code for bps (1..6), or -1 for any other speed.
inline int SpeedCode(int bps)
{
    int code = 1;
    for (int speed : kLinkSpeeds) {
        if (speed == bps)
            return code;
        ++code;
    }
    return -1;
}

// The speed for a code 1..6, or 0 for any other code.
inline int SpeedForCode(int code)
{
    return code >= 1 && code <= 6 ? kLinkSpeeds[code - 1] : 0;
}

} // namespace oskel
