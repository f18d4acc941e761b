#pragma once

#include <functional>
#include <string>
#include <vector>

namespace oskel {

// Which Linux device a port index opens. Index i is "COM<i+1>" to the user.
//
// Unless overridden, the indexes walk the serial ports present right now, in
// this order: USB adapters (ttyUSB*, then ttyACM*), then built-in and other
// ports (ttyS* whose UART exists, ttyAMA*, ...), each group by number. A
// camera on a USB adapter is therefore COM1 and is reached by the automatic
// search without configuration, and the list is taken anew at every open, so
// re-plugging an adapter does not lose it. An override (from the settings
// file, section "Ports", keys "COM1" to "COM10") names the device of one
// index outright, e.g. a /dev/serial/by-id/ name or an emulator's pty link;
// the present ports then fill the indexes left free, skipping any device an
// override already names.
class PortMap {
public:
    using OverrideSource = std::function<std::string(int index)>;

    explicit PortMap(std::string sysClassTty = "/sys/class/tty", std::string devDir = "/dev");

    // Consulted at every lookup; an empty answer means no override.
    void SetOverrideSource(OverrideSource source) { m_overrides = std::move(source); }

    // The device the override source names for index, "" when none.
    std::string OverrideFor(int index) const { return m_overrides ? m_overrides(index) : std::string(); }

    // The device path for index, or "" when nothing is there.
    std::string DeviceFor(int index) const;

    // Present serial devices in index order, overrides not applied.
    std::vector<std::string> Discover() const;

    // Devices of indexes 0..9 with overrides applied; "" where none.
    std::vector<std::string> Table() const;

    static std::string PortName(int index) { return "COM" + std::to_string(index + 1); }

private:
    std::string m_sysClassTty;
    std::string m_devDir;
    OverrideSource m_overrides;
};

} // namespace oskel
