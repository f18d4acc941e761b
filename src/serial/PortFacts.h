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
    std::string usr = "/usr";

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
    int latencyTimerMs = -1; // a USB adapter's latency timer (ftdi_sio), -1 when it has none
    bool accessible = false; // this user may open it for reading and writing
    std::vector<PortHolder> holders;
};

// From sysfs, the by-id links, access() and the /proc scan; opens nothing.
PortFacts GatherPortFacts(const std::string& device, const SystemRoots& roots = {});

// The first line of a sysfs attribute without trailing blanks, "" when it
// cannot be read.
std::string ReadSysfsAttribute(const std::string& path);

// Above this an adapter's latency timer holds every answer back noticeably.
constexpr int kLatencyTimerHintAboveMs = 2;

// The latency timer of the adapter behind `device` in milliseconds (the
// attribute latency_timer of its usb-serial port), -1 when it has none.
int ReadLatencyTimer(const std::string& device, const SystemRoots& roots = {});

// The tty's kernel name behind `device` ("ttyUSB0" for a by-id link).
std::string TtyName(const std::string& device);

// "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer",
// the command that sets the timer of `ttyName` to 1 ms until the adapter is
// plugged in again.
std::string LatencyTimerCommand(const std::string& ttyName);

// "latency timer 1 ms"; above kLatencyTimerHintAboveMs one line more
// telling what it costs and the command that mends it.
std::string LatencyTimerLine(const std::string& ttyName, int ms);

} // namespace oskel
