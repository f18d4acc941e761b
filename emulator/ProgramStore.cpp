#include "emulator/ProgramStore.h"

#include "protocol/Packet.h"

#include <cstring>

namespace oskel::emulator {
namespace {

constexpr int kHexOffsets[] = {8, 12, 16, 116};

} // namespace

ProgramStore::ProgramStore(uint32_t capacityBytes, std::string signature)
    : m_capacity(capacityBytes), m_signature(std::move(signature))
{
}

uint32_t ProgramStore::Used() const
{
    uint64_t used = 0;
    for (const StoredProgram& p : m_programs)
        used += p.data.size();
    return used > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(used);
}

uint32_t ProgramStore::Free() const
{
    const uint32_t used = Used();
    return used >= m_capacity ? 0 : m_capacity - used;
}

int ProgramStore::ParseHex4(const uint8_t* at)
{
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = at[i];
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

bool ProgramStore::Accepts(const std::vector<uint8_t>& data, std::string* why) const
{
    auto refuse = [&](const char* reason) {
        if (why != nullptr)
            *why = reason;
        return false;
    };
    if (data.size() < static_cast<size_t>(kProgramHeaderSize))
        return refuse("shorter than the 120-byte program header");
    if (std::memcmp(data.data(), m_signature.data(), m_signature.size()) != 0)
        return refuse(m_signature == "KAVRA~" ? "signature is not KAVRA~" : "signature is not KAVRA+~");
    for (int offset : kHexOffsets) {
        if (ParseHex4(data.data() + offset) < 0)
            return refuse("a header number is not four hexadecimal digits");
    }
    return true;
}

bool ProgramStore::Add(const CameraName& name, std::vector<uint8_t> data, std::string* why)
{
    if (!Accepts(data, why))
        return false;
    if (data.size() > Free()) {
        if (why != nullptr)
            *why = "not enough free memory";
        return false;
    }
    m_programs.push_back(StoredProgram{name, std::move(data)});
    ++m_changes;
    return true;
}

bool ProgramStore::Erase(int slot)
{
    if (slot < 1 || slot > Count())
        return false;
    m_programs.erase(m_programs.begin() + (slot - 1));
    ++m_changes;
    return true;
}

const StoredProgram* ProgramStore::At(int slot) const
{
    if (slot < 1 || slot > Count())
        return nullptr;
    return &m_programs[static_cast<size_t>(slot - 1)];
}

bool ProgramStore::Record(int slot, DirectoryRecord* record) const
{
    const StoredProgram* p = At(slot);
    if (p == nullptr || p->data.size() < static_cast<size_t>(kProgramHeaderSize))
        return false;
    const uint8_t* header = p->data.data();
    uint8_t* r = record->data();
    record->fill(0);
    std::memcpy(r, p->name.data(), 12);
    std::memcpy(r + 12, header, 8);
    auto hex16 = [&](int offset) {
        const int v = ParseHex4(header + offset);
        return static_cast<uint16_t>(v < 0 ? 0 : v);
    };
    PutLe16(r + 20, hex16(8));
    PutLe16(r + 22, hex16(12));
    PutLe16(r + 24, hex16(16));
    std::memcpy(r + 26, header + 52, 40);
    PutLe32(r + 66, static_cast<uint32_t>(p->data.size()));
    PutLe16(r + 70, hex16(116));
    return true;
}

} // namespace oskel::emulator
