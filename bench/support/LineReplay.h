#pragma once

#include "FloorModel.h"
#include "LineEvent.h"

#include <string>

namespace oskel::bench {

// What the line and the machine cost by themselves. The replay plays a
// recorded session back to a fresh emulated camera with the least a serial
// client has to do: each write's bytes in the same pieces, then waiting for
// their wire time; each read by sleeping in poll() until the recorded number
// of bytes is in; each pause for its model length. Only the poll that found
// the camera ready waits, as the floor does, until the camera can be (its
// ready delay after the ENQ): replayed a little early, it would find the
// camera busy and the rest of the line would go another way. No protocol
// code runs, so what the replay takes above the floor is the
// pseudo-terminal's crossings and the processors' wake-ups, and what the
// program takes above the replay is the program's own.
struct ReplayResult {
    bool ok = false;
    double measuredMs = 0; // events [from, to) of the journal
    std::string error;
};

// Replays journal[0, to) on `device` (the emulator's link), timing [from, to),
// against a camera with these delays. Fails when an answer differs in length
// (or a lone control byte differs).
ReplayResult ReplayLine(const std::string& device, const LineLog& journal, size_t from, size_t to,
                        const CameraTiming& camera);

} // namespace oskel::bench
