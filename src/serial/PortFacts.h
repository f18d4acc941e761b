#pragma once

#include "serial/PortHolders.h"

#include <string>
#include <vector>

namespace oskel {

// Where the system's views of devices are; tests put a fake tree in a
// temporary folder.
struct SystemRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";

    std::string SysClassTty() const { return sys + "/class/tty"; }
};

// What can be told about a serial device without opening it.
struct PortFacts {
    std::string device;
    bool exists = false;
    std::string byId;   // its /dev/serial/by-id name, "" when it has none
    std::string driver; // kernel driver (ftdi_sio, cdc_acm, serial8250...), "" for a pty
    bool usb = false;   // on a USB adapter: the fields below are known
    std::string vendorId;  // "0403"
    std::string productId; // "6001"
    std::string manufacturer;
    std::string product;
    std::string serial;
    bool accessible = false; // this user may open it for reading and writing
    std::vector<PortHolder> holders;
};

// From sysfs, the by-id links, access() and the /proc scan; opens nothing.
PortFacts GatherPortFacts(const std::string& device, const SystemRoots& roots = {});

} // namespace oskel
