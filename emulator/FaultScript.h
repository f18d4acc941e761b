#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace oskel::emulator {

// Misbehaviour on purpose. Each fault is counted against one kind of event
// and fires at the nth such event counted from the moment it was added
// (1 = the next one), for `times` events in a row.
enum class FaultKind {
    // Counted in packets received from the PC (command, speed and data packets).
    Nak,          // answer NAK instead of acting on the packet
    Dc1,          // answer DC1 instead of acting on the packet
    LinkLost,     // answer 0xFF instead of acting on the packet
    StrayBytes,   // `argument` stray bytes (default 3) before the answer
    Silence,      // ignore everything from this packet on for `argument` ms (0 = for good)
    // Counted in data packets the camera sends (resends included).
    CorruptChecksum,
    // Counted in actions 11.
    NoEnqAfterUpload,
    CountUnchangedAfterUpload, // acknowledged and signalled, but the program is not stored
    // Counted in actions 13.
    NoEnqAfterErase,
    CountUnchangedAfterErase,  // acknowledged and signalled, but nothing is erased
    FailErase,                 // the action is refused with CAN
    // Counted in reads of register 16: from then on it reads `argument` (default 10).
    LowBattery,
    // Counted in reads of text 27: answered with CAN.
    FailModelText,
};

enum class FaultEvent { PacketIn, DataOut, Upload, Erase, BatteryRead, ModelTextRead };

struct Fault {
    FaultKind kind = FaultKind::Nak;
    int nth = 1;
    int times = 1;
    int64_t argument = -1; // -1: the kind's default
};

class FaultScript {
public:
    void Add(const Fault& fault);

    // Seeded random faults for soak tests: each packet from the PC is, with
    // probability permille / 1000, answered with a NAK, a DC1, stray bytes, a
    // short silence, or followed by a corrupted data packet. All of these are
    // faults the PC's retries are meant to absorb.
    void SetRandom(uint32_t seed, int permille);

    // Counts one event and returns the faults that fire on it.
    std::vector<Fault> Hit(FaultEvent event);

    int64_t Count(FaultEvent event) const { return m_counts[static_cast<int>(event)]; }

    // "kind[@n][xtimes][:argument]", e.g. "nak@3", "silence@5:2000", "dc1@2x6".
    static bool Parse(const std::string& text, Fault* fault, std::string* error);
    static std::string KindName(FaultKind kind);
    static FaultEvent EventOf(FaultKind kind);

private:
    struct Armed {
        Fault fault;
        int64_t first = 0; // event count at which it starts firing
    };
    std::vector<Armed> m_armed;
    int64_t m_counts[6] = {};
    int m_randomPermille = 0;
    std::mt19937 m_random;
    bool m_corruptNextOut = false;
};

} // namespace oskel::emulator
