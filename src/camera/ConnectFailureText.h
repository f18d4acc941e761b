#pragma once

#include "camera/CameraConnection.h"
#include "serial/PortFacts.h"

#include <string>

namespace oskel {

// One or two sentences telling the user why the camera could not be
// reached; "" when nothing failed.
std::string DescribeConnectFailure(const ConnectFailure& failure);

// True when the failure is one the user can mend at the computer: a port
// that may not be opened, is held by another program, is not a serial port,
// or does not exist.
bool IsUserFixable(const ConnectFailure& failure);

// "/dev/ttyUSB0 is in use by ModemManager (pid 812)." naming the device as
// `shown`, with the processes found holding `device`; for ModemManager, also
// how to make it leave the adapter alone.
std::string DescribeBusyPort(const std::string& shown, const std::string& device, const SystemRoots& roots = {});

// The group that owns a device, or "" when it cannot be told.
std::string DeviceGroup(const std::string& device);

} // namespace oskel
