#pragma once

#include "serial/PortFacts.h"

#include <string>
#include <vector>

namespace oskel {

// A USB device that is a known serial adapter, found in sysfs.
struct UsbSerialAdapter {
    std::string vendorId;  // "1a86"
    std::string productId; // "7523"
    std::string chip;      // "CH340"
    std::string manufacturer;
    std::string product;

    // "1a86:7523 CH340", with the maker's texts when it gives them.
    std::string Text() const;
};

// The known serial adapters plugged in that have no serial port (no tty
// below them): claimed by another driver (the braille service's rule takes
// CH340 and some CP210x and FTDI adapters), or without a driver at all.
std::vector<UsbSerialAdapter> FindAdaptersWithoutPort(const SystemRoots& roots = {});

// The braille display service brltty is installed (its program or its udev
// rule is there).
bool BrlttyInstalled(const SystemRoots& roots = {});

// "A USB serial adapter (1a86:7523 CH340) is plugged in, but the system gave
// it no serial port." with, when brltty is installed, what to do about it;
// "" when there is no such adapter.
std::string DescribeAdaptersWithoutPort(const SystemRoots& roots = {});

} // namespace oskel
