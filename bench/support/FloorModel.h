#pragma once

#include "LineEvent.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::bench {

// The camera's own delays, as the benchmark configures the emulator.
struct CameraTiming {
    uint32_t answerDelayUs = 1000;   // end of the PC's packet -> first answer byte starts
    uint32_t enqDelayMs = 200;       // an action other than 11 or 13 -> ENQ
    uint32_t uploadEnqDelayMs = 800; // action 11 -> ENQ
    uint32_t eraseEnqDelayMs = 1200; // action 13 -> ENQ
    uint32_t readyDelayMs = 100;     // ENQ -> register 18 reads non-zero
};

// Where the floor of one operation lies, worked out from the log of what
// the PC did: the earliest moment each step could have ended if the PC took
// no time of its own.
//
// - a write lasts the wire time of its bytes at the port's speed (10 bits a
//   byte), plus the mandated gaps of its pacing mode (1 ms after the first
//   byte and after the next three of a split packet, ~2n ms before each
//   byte in mode n > 0);
// - a fixed pause (WaitMs) and DelayCalibrate last what they ask;
// - the camera starts each answer its answer delay after the PC's last byte
//   has reached it, and sends at the line's speed; an ENQ comes its ENQ
//   delay after the action's ACK (plus the answer delay), and register 18
//   reads non-zero from the ready delay after that ENQ on;
// - a read lasts until the last byte it took could have arrived (nothing
//   when it was already there), or its whole time-out when nothing came.
struct FloorBreakdown {
    double totalMs = 0;     // the floor
    double wirePcMs = 0;    // wire time of the PC's bytes
    double wireCamMs = 0;   // wire time of the camera's bytes
    double pausesMs = 0;    // WaitMs, DelayCalibrate and the pacing gaps
    double timeoutsMs = 0;  // reads that ended with nothing, at their time-out
    double cameraMs = 0;    // time spent waiting for the camera beyond wire time
    uint64_t bytesPcToCam = 0;
    uint64_t bytesCamToPc = 0;
    int writes = 0;
    int reads = 0;
};

FloorBreakdown ModelFloor(const LineLog& log, const CameraTiming& camera);

// For each step: true on the write of a register 18 read that found the
// camera ready (its 4-byte answer is non-zero).
std::vector<bool> ReadyPolls(const LineLog& log);

// Real time against floor, summed per kind of step: where the excess lies.
std::string ExcessByKind(const LineLog& log, const CameraTiming& camera);

} // namespace oskel::bench
