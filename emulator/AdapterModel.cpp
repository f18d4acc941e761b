#include "emulator/AdapterModel.h"

#include <algorithm>
#include <limits>

namespace oskel::emulator {
namespace {

constexpr uint64_t kUsbFrameUs = 1000;
constexpr int kFtdiDefaultTimerMs = 16;
constexpr size_t kFtdiPacketBytes = 62;

uint64_t NextMultiple(uint64_t atUs, uint64_t periodUs)
{
    return (atUs / periodUs + 1) * periodUs;
}

} // namespace

std::optional<AdapterModel> AdapterModel::Parse(const std::string& text, std::string* error)
{
    AdapterModel m;
    m.m_name = text;
    if (text == "pty")
        return m;
    if (text == "uart16550") {
        m.m_maxBps = 115200;
        return m;
    }
    const struct {
        const char* name;
        size_t transfer;
    } kUsb[] = {{"cp210x", 64}, {"ch341", 32}, {"pl2303", 64}};
    for (const auto& usb : kUsb) {
        if (text == usb.name) {
            m.m_transferBytes = usb.transfer;
            return m;
        }
    }
    if (text == "ftdi" || text.starts_with("ftdi:")) {
        int ms = kFtdiDefaultTimerMs;
        if (text != "ftdi") {
            const std::string digits = text.substr(5);
            if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(digits) < 1 || std::stoi(digits) > 255) {
                *error = "the latency timer of " + text + " is not 1 to 255 ms";
                return std::nullopt;
            }
            ms = std::stoi(digits);
        }
        m.m_timerUs = static_cast<uint64_t>(ms) * 1000u;
        m.m_packetBytes = kFtdiPacketBytes;
        return m;
    }
    *error = "unknown adapter " + text + " (pty, ftdi[:TIMER_MS], cp210x, ch341, pl2303, uart16550)";
    return std::nullopt;
}

void AdapterModel::Arrive(uint64_t atUs, uint8_t value)
{
    m_held.push_back({atUs, value});
}

uint64_t AdapterModel::Release(size_t* count) const
{
    const uint64_t first = m_held.front().atUs;
    uint64_t at = first;
    size_t limit = m_held.size();
    if (m_timerUs > 0) {
        at = NextMultiple(first, m_timerUs);
        if (m_held.size() >= m_packetBytes && m_held[m_packetBytes - 1].atUs < at)
            at = m_held[m_packetBytes - 1].atUs;
        limit = m_packetBytes;
    } else if (m_transferBytes > 0) {
        at = NextMultiple(first, kUsbFrameUs);
        if (m_transferred)
            at = std::max(at, m_lastTransferUs + kUsbFrameUs);
        limit = m_transferBytes;
    }
    size_t n = 0;
    while (n < m_held.size() && n < limit && m_held[n].atUs <= at)
        ++n;
    *count = n;
    return at;
}

std::vector<AdapterModel::Due> AdapterModel::TakeDue(uint64_t nowUs)
{
    std::vector<Due> due;
    while (!m_held.empty()) {
        size_t n = 0;
        const uint64_t at = Release(&n);
        if (at > nowUs)
            break;
        for (size_t i = 0; i < n; ++i)
            due.push_back({at, m_held[i].value});
        m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(n));
        if (Usb()) {
            m_lastTransferUs = at;
            m_transferred = true;
        }
    }
    return due;
}

uint64_t AdapterModel::NextReleaseUs() const
{
    if (m_held.empty())
        return std::numeric_limits<uint64_t>::max();
    size_t n = 0;
    return Release(&n);
}

} // namespace oskel::emulator
