#include "camera/ConnectFailureText.h"

#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {
namespace {

std::string UserName()
{
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_name != nullptr)
        return pw->pw_name;
    const char* user = std::getenv("USER");
    return user != nullptr && *user != '\0' ? user : "$USER";
}

std::string Named(const OpenError& e)
{
    return e.device.empty() ? std::string("The serial port") : e.device;
}

std::string DescribeOpenError(const OpenError& e)
{
    switch (e.kind) {
    case OpenError::PermissionDenied: {
        std::string text = "Permission denied: you may not open " + Named(e) + ".";
        const std::string group = DeviceGroup(e.device);
        if (!group.empty())
            text += " It belongs to the group \"" + group + "\": add yourself with \"sudo usermod -aG " + group + " " +
                    UserName() + "\", then log out and in again.";
        return text;
    }
    case OpenError::InUse:
        return Named(e) + " is in use by another program.";
    case OpenError::NotSerial:
        return Named(e) + " is not a serial port.";
    case OpenError::Other:
        return Named(e) + " cannot be opened.";
    case OpenError::NoDevice:
    case OpenError::BadIndex:
    case OpenError::None:
        break;
    }
    if (!e.device.empty())
        return "No such device: " + e.device + ".";
    return "No serial port was found: is the cable or USB adapter plugged in?";
}

} // namespace

std::string DeviceGroup(const std::string& device)
{
    struct stat st{};
    if (device.empty() || stat(device.c_str(), &st) != 0)
        return {};
    const group* g = getgrgid(st.st_gid);
    return g != nullptr && g->gr_name != nullptr ? g->gr_name : std::string();
}

std::string DescribeConnectFailure(const ConnectFailure& failure)
{
    switch (failure.kind) {
    case ConnectFailure::None:
        return {};
    case ConnectFailure::NoPort:
        return DescribeOpenError(failure.open);
    case ConnectFailure::Silent:
        return "The port opened, but the camera did not answer.";
    case ConnectFailure::Refused:
        return "A camera answered, but this program does not support its model.";
    }
    return {};
}

} // namespace oskel
