#pragma once

#include "camera/CameraConnection.h"

#include <string>

namespace oskel {

// One or two sentences telling the user why the camera could not be
// reached; "" when nothing failed.
std::string DescribeConnectFailure(const ConnectFailure& failure);

// True when the failure is one the user can mend at the computer: a port
// that may not be opened, is held by another program, is not a serial port,
// or does not exist.
bool IsUserFixable(const ConnectFailure& failure);

// The group that owns a device, or "" when it cannot be told.
std::string DeviceGroup(const std::string& device);

} // namespace oskel
