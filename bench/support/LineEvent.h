#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace oskel::bench {

// One thing the PC did to the serial line or the clock during a measured
// operation, with the real moments it began and ended.
struct LineEvent {
    enum class Kind {
        Open,      // OpenPort
        Close,     // ClosePort
        Speed,     // SetBaudRate: bps is the new speed
        Purge,     // ClearBuffers
        Query,     // BytesInBuffer
        Write,     // WritePort: count bytes asked, moved written, pacing
        Read,      // ReadPort: count bytes asked, moved arrived
        Wait,      // a fixed pause of the protocol (WaitMs): value ms
        Calibrate, // DelayCalibrate: value ms
    };

    Kind kind = Kind::Query;
    int bps = 0;       // the PC port's speed while it happened
    int count = 0;
    int moved = 0;
    int pacing = -1;
    uint32_t value = 0;
    int spinPerMs = 0; // the spin loop's unit while a write happened
    std::vector<uint8_t> head; // the first bytes written or read (at most kHeadBytes)
    std::vector<uint8_t> data; // every byte written (writes only)
    uint64_t startUs = 0;
    uint64_t endUs = 0;

    static constexpr size_t kHeadBytes = 16;
};

using LineLog = std::vector<LineEvent>;

} // namespace oskel::bench
