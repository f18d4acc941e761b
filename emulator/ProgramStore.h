#pragma once

#include "emulator/CameraConfig.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace oskel::emulator {

constexpr int kProgramHeaderSize = 120;
constexpr int kDirectoryRecordSize = 72;

using DirectoryRecord = std::array<uint8_t, kDirectoryRecordSize>;

// The camera's program memory: programs in slots 1..N in the order they were
// stored. Erasing a slot closes the gap.
class ProgramStore {
public:
    ProgramStore(uint32_t capacityBytes, std::string signature);

    int Count() const { return static_cast<int>(m_programs.size()); }
    uint32_t Capacity() const { return m_capacity; }
    uint32_t Used() const;
    uint32_t Free() const;
    const std::string& Signature() const { return m_signature; }

    // Whether the camera takes this file as a program: at least a header,
    // the accepted signature and four readable hex fields. *why says why not.
    bool Accepts(const std::vector<uint8_t>& data, std::string* why) const;

    // Appends at slot Count() + 1. False (nothing stored) when the file is
    // not acceptable or does not fit.
    bool Add(const CameraName& name, std::vector<uint8_t> data, std::string* why = nullptr);
    bool Erase(int slot);
    const StoredProgram* At(int slot) const;
    const std::vector<StoredProgram>& All() const { return m_programs; }
    // Grows with every program stored or erased.
    uint64_t Changes() const { return m_changes; }

    // The 72-byte record the camera reports for a slot, built from the stored
    // file's header; false for a slot that does not exist.
    bool Record(int slot, DirectoryRecord* record) const;

    // Four hexadecimal digits, or -1.
    static int ParseHex4(const uint8_t* at);

private:
    uint32_t m_capacity;
    std::string m_signature;
    std::vector<StoredProgram> m_programs;
    uint64_t m_changes = 0;
};

} // namespace oskel::emulator
