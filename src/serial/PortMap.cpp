#include "serial/PortMap.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace oskel {
namespace {

namespace fs = std::filesystem;

constexpr int kPortCount = 10;

struct Candidate {
    int group;
    std::string prefix;
    long number;
    std::string name;
};

int GroupOf(const std::string& name)
{
    if (name.rfind("ttyUSB", 0) == 0)
        return 0;
    if (name.rfind("ttyACM", 0) == 0)
        return 1;
    return 2;
}

// Splits "ttyS12" into "ttyS" and 12.
void SplitNumber(const std::string& name, std::string* prefix, long* number)
{
    size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1])))
        --end;
    *prefix = name.substr(0, end);
    *number = end < name.size() ? std::stol(name.substr(end)) : -1;
}

// Built-in 8250 ports are listed whether or not a UART answers there; the
// "type" attribute is 0 for the absent ones.
bool UartAbsent(const fs::path& entry)
{
    std::ifstream type(entry / "type");
    int value = -1;
    return type && (type >> value) && value == 0;
}

} // namespace

PortMap::PortMap(std::string sysClassTty, std::string devDir)
    : m_sysClassTty(std::move(sysClassTty)), m_devDir(std::move(devDir))
{
}

std::vector<std::string> PortMap::Discover() const
{
    std::vector<Candidate> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_sysClassTty, ec)) {
        const std::string name = entry.path().filename().string();
        std::error_code linkError;
        // Virtual terminals and ptys have no device behind them.
        if (!fs::exists(entry.path() / "device", linkError))
            continue;
        if (UartAbsent(entry.path()))
            continue;
        Candidate c;
        c.group = GroupOf(name);
        c.name = name;
        SplitNumber(name, &c.prefix, &c.number);
        found.push_back(c);
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return a.number < b.number;
    });
    std::vector<std::string> devices;
    for (const auto& c : found)
        devices.push_back(m_devDir + "/" + c.name);
    return devices;
}

std::vector<std::string> PortMap::Table() const
{
    std::vector<std::string> table(kPortCount);
    for (int i = 0; i < kPortCount && m_overrides; ++i)
        table[static_cast<size_t>(i)] = m_overrides(i);
    auto named = [&table](const std::string& device) {
        std::error_code ec;
        for (const auto& entry : table) {
            if (entry.empty())
                continue;
            if (entry == device || fs::equivalent(entry, device, ec))
                return true;
        }
        return false;
    };
    size_t slot = 0;
    for (const auto& device : Discover()) {
        if (named(device))
            continue;
        while (slot < table.size() && !table[slot].empty())
            ++slot;
        if (slot == table.size())
            break;
        table[slot] = device;
    }
    return table;
}

std::string PortMap::DeviceFor(int index) const
{
    if (index < 0 || index >= kPortCount)
        return {};
    // A port named outright needs neither the other names nor a scan.
    if (m_overrides) {
        std::string device = m_overrides(index);
        if (!device.empty())
            return device;
    }
    return Table()[static_cast<size_t>(index)];
}

} // namespace oskel
