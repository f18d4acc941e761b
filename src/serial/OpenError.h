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
//
// Beside them, what the line learned of the ports it opened: a speed the
// driver refused (with the fastest standard speed it takes), the adapter's
// latency timer, and whether the device it had open went away (unplugged)
// with no open succeeding since.
struct OpenDiagnostics {
    int opened = 0;
    int failed = 0;
    OpenError worst;

    int refusedSpeed = 0;   // bit/s a port that opened did not take; 0: none
    int speedLimit = 0;     // the fastest standard speed it takes; 0: unknown
    int refusedAtIndex = -1; // the port index where that happened
    int latencyTimerMs = -1; // of the last port opened, -1 when it has none
    std::string latencyDevice; // the tty name the timer belongs to ("ttyUSB0")
    bool unplugged = false;
    std::string unpluggedDevice;

    void Record(const OpenError& error);
    void RecordRefusedSpeed(int index, int bps, int limit);
};

// The fastest of the standard speeds (1200 to 921600 bit/s) below `bps`
// that `accepts` takes, or 0 when none.
int FastestSpeedBelow(int bps, bool (*accepts)(void* context, int bps), void* context);

} // namespace oskel
