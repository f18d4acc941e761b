#include "camera/ConnectFailureText.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

#include <cstdlib>
#include <initializer_list>
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

// The table's text of id with each "%s" replaced by the next argument.
// Arguments are inserted as they are, so a '%' in a device name stays text.
std::string Fill(unsigned id, std::initializer_list<std::string> args)
{
    const std::string format = res::LoadString(id);
    std::string text;
    auto arg = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && arg != args.end()) {
            text += *arg++;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

std::string Named(const OpenError& e)
{
    return e.device.empty() ? res::LoadString(res::IDS_REASON_THE_PORT) : e.device;
}

std::string DescribeOpenError(const OpenError& e)
{
    switch (e.kind) {
    case OpenError::PermissionDenied: {
        std::string text = Fill(res::IDS_REASON_PERMISSION, {Named(e)});
        const std::string group = DeviceGroup(e.device);
        if (!group.empty())
            text += Fill(res::IDS_REASON_PERMISSION_GROUP, {group, group, UserName()});
        return text;
    }
    case OpenError::InUse:
        return Fill(res::IDS_REASON_IN_USE, {Named(e)});
    case OpenError::NotSerial:
        return Fill(res::IDS_REASON_NOT_SERIAL, {Named(e)});
    case OpenError::Other:
        return Fill(res::IDS_REASON_CANNOT_OPEN, {Named(e)});
    case OpenError::NoDevice:
    case OpenError::BadIndex:
    case OpenError::None:
        break;
    }
    if (!e.device.empty())
        return Fill(res::IDS_REASON_NO_SUCH_DEVICE, {e.device});
    return res::LoadString(res::IDS_REASON_NO_PORT);
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
        return res::LoadString(res::IDS_REASON_SILENT);
    case ConnectFailure::Refused:
        return res::LoadString(res::IDS_REASON_REFUSED);
    }
    return {};
}

bool IsUserFixable(const ConnectFailure& failure)
{
    return failure.kind == ConnectFailure::NoPort && failure.open.kind != OpenError::Other;
}

} // namespace oskel
