#pragma once

#include "camera/CameraConnection.h"
#include "serial/PortFacts.h"

#include <string>

namespace oskel {

// One or two sentences telling the user why the camera could not be
// reached; "" when nothing failed. The one text both front ends show.
std::string DescribeConnectFailure(const ConnectFailure& failure, const SystemRoots& roots = {});

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

// Who owns a device and what the mode gives.
struct DeviceAccess {
    std::string owner;
    std::string group;
    unsigned gid = 0;
    unsigned mode = 0; // the permission bits
};

// From stat(); false when the device cannot be looked at.
bool ReadDeviceAccess(const std::string& device, DeviceAccess* out);

// What to do about a permission refusal: join the device's group when that
// group may read and write it (never the group root); otherwise who may use
// it and the udev rule that can change that.
std::string PermissionAdvice(const DeviceAccess& access, const std::string& user);

// A group worth joining for `access`, "" when there is none.
std::string GroupToJoin(const DeviceAccess& access);

} // namespace oskel
