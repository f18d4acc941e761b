#pragma once

#include <string>

namespace oskel {

// Why the last OpenPort failed, kept so that the layers above can tell the
// user more than "no camera".
struct OpenError {
    enum Kind {
        None,
        BadIndex,         // outside COM1..COM10
        NoDevice,         // nothing mapped to the index, or the device is gone
        PermissionDenied, // the user may not open the device
        InUse,            // another program holds the port
        NotSerial,        // the device is not a serial port
        Other,
    };
    Kind kind = None;
    std::string device; // the device path tried, if any
    int error = 0;      // errno of the failing call
};

// The opens since a reset: how many succeeded, and the most telling reason
// among those that failed (permission denied, in use, not a serial port,
// other, no device; in that order).
struct OpenDiagnostics {
    int opened = 0;
    int failed = 0;
    OpenError worst;

    void Record(const OpenError& error);
};

} // namespace oskel
