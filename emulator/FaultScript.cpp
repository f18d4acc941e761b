#include "emulator/FaultScript.h"

#include <cstdlib>

namespace oskel::emulator {
namespace {

struct KindEntry {
    FaultKind kind;
    const char* name;
    FaultEvent event;
};

constexpr KindEntry kKinds[] = {
    {FaultKind::Nak, "nak", FaultEvent::PacketIn},
    {FaultKind::Dc1, "dc1", FaultEvent::PacketIn},
    {FaultKind::LinkLost, "ff", FaultEvent::PacketIn},
    {FaultKind::StrayBytes, "stray", FaultEvent::PacketIn},
    {FaultKind::Silence, "silence", FaultEvent::PacketIn},
    {FaultKind::CorruptChecksum, "corrupt", FaultEvent::DataOut},
    {FaultKind::NoEnqAfterUpload, "no-enq-upload", FaultEvent::Upload},
    {FaultKind::CountUnchangedAfterUpload, "lose-upload", FaultEvent::Upload},
    {FaultKind::NoEnqAfterErase, "no-enq-erase", FaultEvent::Erase},
    {FaultKind::CountUnchangedAfterErase, "ignore-erase", FaultEvent::Erase},
    {FaultKind::FailErase, "fail-erase", FaultEvent::Erase},
    {FaultKind::LowBattery, "low-battery", FaultEvent::BatteryRead},
    {FaultKind::FailModelText, "fail-model-text", FaultEvent::ModelTextRead},
};

bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* out)
{
    if (text.empty() || text.size() > 12)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    const int64_t v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < low || v > high)
        return false;
    *out = v;
    return true;
}

} // namespace

void FaultScript::Add(const Fault& fault)
{
    Armed a;
    a.fault = fault;
    a.fault.nth = fault.nth < 1 ? 1 : fault.nth;
    a.fault.times = fault.times < 1 ? 1 : fault.times;
    a.first = Count(EventOf(fault.kind)) + a.fault.nth;
    m_armed.push_back(a);
}

void FaultScript::SetRandom(uint32_t seed, int permille)
{
    m_random.seed(seed);
    m_randomPermille = permille < 0 ? 0 : (permille > 1000 ? 1000 : permille);
}

std::vector<Fault> FaultScript::Hit(FaultEvent event)
{
    const int64_t n = ++m_counts[static_cast<int>(event)];
    std::vector<Fault> fired;
    for (const Armed& a : m_armed) {
        if (EventOf(a.fault.kind) == event && n >= a.first && n < a.first + a.fault.times)
            fired.push_back(a.fault);
    }
    if (event == FaultEvent::DataOut && m_corruptNextOut) {
        m_corruptNextOut = false;
        fired.push_back(Fault{FaultKind::CorruptChecksum, 1, 1, -1});
    }
    if (event == FaultEvent::PacketIn && m_randomPermille > 0 &&
        static_cast<int>(m_random() % 1000u) < m_randomPermille) {
        switch (m_random() % 5u) {
        case 0:
            fired.push_back(Fault{FaultKind::Nak, 1, 1, -1});
            break;
        case 1:
            fired.push_back(Fault{FaultKind::Dc1, 1, 1, -1});
            break;
        case 2:
            fired.push_back(Fault{FaultKind::StrayBytes, 1, 1, static_cast<int64_t>(1 + m_random() % 4u)});
            break;
        case 3:
            fired.push_back(Fault{FaultKind::Silence, 1, 1, 600});
            break;
        default:
            m_corruptNextOut = true;
            break;
        }
    }
    return fired;
}

FaultEvent FaultScript::EventOf(FaultKind kind)
{
    for (const KindEntry& e : kKinds) {
        if (e.kind == kind)
            return e.event;
    }
    return FaultEvent::PacketIn;
}

std::string FaultScript::KindName(FaultKind kind)
{
    for (const KindEntry& e : kKinds) {
        if (e.kind == kind)
            return e.name;
    }
    return "?";
}

bool FaultScript::Parse(const std::string& text, Fault* fault, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error != nullptr)
            *error = "bad fault \"" + text + "\": " + why;
        return false;
    };
    std::string rest = text;
    std::string argument;
    const bool hasArgument = rest.find(':') != std::string::npos;
    if (const size_t colon = rest.find(':'); colon != std::string::npos) {
        argument = rest.substr(colon + 1);
        rest = rest.substr(0, colon);
    }
    std::string times;
    bool hasTimes = false;
    if (const size_t x = rest.find('x', rest.find('@') == std::string::npos ? rest.size() : rest.find('@'));
        x != std::string::npos) {
        times = rest.substr(x + 1);
        rest = rest.substr(0, x);
        hasTimes = true;
    }
    std::string nth;
    const bool hasNth = rest.find('@') != std::string::npos;
    if (const size_t at = rest.find('@'); at != std::string::npos) {
        nth = rest.substr(at + 1);
        rest = rest.substr(0, at);
    }
    Fault f;
    bool known = false;
    for (const KindEntry& e : kKinds) {
        if (rest == e.name) {
            f.kind = e.kind;
            known = true;
        }
    }
    if (!known)
        return fail("unknown kind \"" + rest + "\"");
    if ((hasNth && nth.empty()) || (hasTimes && times.empty()) || (hasArgument && argument.empty()))
        return fail("a number is missing after '@', 'x' or ':'");
    int64_t v = 0;
    if (!nth.empty()) {
        if (!ParseNumber(nth, 1, 1000000000, &v))
            return fail("the count after '@' must be a number from 1");
        f.nth = static_cast<int>(v);
    }
    if (!times.empty()) {
        if (!ParseNumber(times, 1, 1000000000, &v))
            return fail("the repeat after 'x' must be a number from 1");
        f.times = static_cast<int>(v);
    }
    if (!argument.empty()) {
        if (!ParseNumber(argument, 0, 100000000, &v))
            return fail("the value after ':' must be a number from 0");
        f.argument = v;
    }
    *fault = f;
    return true;
}

} // namespace oskel::emulator
