#include "emulator/LineFormat.h"

#include <cstddef>

namespace oskel::emulator {
namespace {

int ParityBit(uint32_t data, LineFormat::Parity parity)
{
    int ones = 0;
    for (uint32_t v = data; v != 0; v >>= 1)
        ones += static_cast<int>(v & 1u);
    return parity == LineFormat::kEven ? ones & 1 : (ones & 1) ^ 1;
}

// The sender's frame as line levels, one entry per sender bit time.
std::vector<int> FrameLevels(uint8_t byte, const LineFormat& f)
{
    std::vector<int> levels;
    levels.push_back(0);
    const uint32_t data = byte & ((1u << f.dataBits) - 1u);
    for (int i = 0; i < f.dataBits; ++i)
        levels.push_back(static_cast<int>((data >> i) & 1u));
    if (f.parity != LineFormat::kNone)
        levels.push_back(ParityBit(data, f.parity));
    for (int i = 0; i < f.stopBits; ++i)
        levels.push_back(1);
    return levels;
}

bool Sane(const LineFormat& f)
{
    return f.bps > 0 && f.dataBits >= 5 && f.dataBits <= 8 && (f.stopBits == 1 || f.stopBits == 2);
}

} // namespace

std::vector<ReceivedByte> ReceiveAs(uint8_t byte, const LineFormat& sender, const LineFormat& receiver)
{
    if (sender == receiver || !Sane(sender) || !Sane(receiver)) {
        ReceivedByte same;
        same.value = byte;
        return {same};
    }
    // Time unit: 1 / (2 x sender bps x receiver bps) s, so that both bit times
    // and the receiver's mid-bit sample points are whole numbers.
    const uint64_t senderBit = 2u * static_cast<uint64_t>(receiver.bps);
    const uint64_t receiverBit = 2u * static_cast<uint64_t>(sender.bps);
    const std::vector<int> levels = FrameLevels(byte, sender);
    const uint64_t frameEnd = senderBit * levels.size();
    auto level = [&](uint64_t t) { return t < frameEnd ? levels[t / senderBit] : 1; };

    const int extra = receiver.parity != LineFormat::kNone ? 1 : 0;
    std::vector<ReceivedByte> out;
    uint64_t searchFrom = 0;
    bool needHigh = false; // after a frame whose stop bit was low, wait for the line to rise
    for (std::size_t k = 0; k < levels.size() && out.size() < 8; ++k) {
        const uint64_t edge = k * senderBit;
        const bool previousHigh = k == 0 || levels[k - 1] == 1;
        if (levels[k] == 1) {
            if (edge + senderBit > searchFrom)
                needHigh = false;
            continue;
        }
        if (edge < searchFrom || !previousHigh || needHigh)
            continue;
        if (level(edge + receiverBit / 2) != 0)
            continue; // a glitch, not a start bit
        ReceivedByte r;
        uint32_t data = 0;
        for (int i = 0; i < receiver.dataBits; ++i)
            data |= static_cast<uint32_t>(level(edge + receiverBit * static_cast<uint64_t>(i + 1) + receiverBit / 2)) << i;
        uint64_t at = edge + receiverBit * static_cast<uint64_t>(receiver.dataBits + 1) + receiverBit / 2;
        if (extra != 0) {
            r.parityError = level(at) != ParityBit(data, receiver.parity);
            at += receiverBit;
        }
        r.framingError = level(at) == 0;
        r.value = static_cast<uint8_t>(data);
        out.push_back(r);
        searchFrom = at;
        needHigh = r.framingError;
    }
    return out;
}

} // namespace oskel::emulator
