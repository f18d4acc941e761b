#pragma once

#include <cstdint>
#include <vector>

namespace oskel::emulator {

// How one side of the line frames its bytes: speed, data bits, parity and
// stop bits. The camera always runs 8-N-1.
struct LineFormat {
    enum Parity : uint8_t { kNone = 0, kOdd = 1, kEven = 2 };

    int bps = 19200;
    int dataBits = 8;
    Parity parity = kNone;
    int stopBits = 1;

    static LineFormat Raw8N1(int bps) { return LineFormat{bps, 8, kNone, 1}; }
    bool operator==(const LineFormat&) const = default;
};

// One byte as a receiving UART decodes it.
struct ReceivedByte {
    uint8_t value = 0;
    bool framingError = false; // stop bit sampled low
    bool parityError = false;
    // A frame of all zero bits with a bad stop bit: the line was held low
    // for longer than a frame, which a receiver reports as a break.
    bool IsBreak() const { return value == 0 && framingError; }
};

// What a receiver set to `receiver` makes of one byte sent by a transmitter
// set to `sender`, the line being idle before and after the byte. With equal
// formats this is the byte itself; otherwise the receiver samples the
// sender's waveform at its own bit times, which gives the garbled bytes (none,
// one or several) a real line would deliver.
std::vector<ReceivedByte> ReceiveAs(uint8_t byte, const LineFormat& sender, const LineFormat& receiver);

} // namespace oskel::emulator
