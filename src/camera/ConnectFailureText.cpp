#include "camera/ConnectFailureText.h"

#include "res/StringIds.h"
#include "res/StringTable.h"
#include "serial/PortHolders.h"
#include "serial/PortMap.h"
#include "serial/UsbSerialAdapters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {
namespace {

constexpr const char* kModemManager = "ModemManager";

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

std::string DescribeOpenError(const OpenError& e, const SystemRoots& roots)
{
    switch (e.kind) {
    case OpenError::PermissionDenied: {
        std::string text = Fill(res::IDS_REASON_PERMISSION, {Named(e)});
        DeviceAccess access;
        if (ReadDeviceAccess(e.device, &access))
            text += PermissionAdvice(access, UserName());
        return text;
    }
    case OpenError::InUse:
        return DescribeBusyPort(Named(e), e.device, roots);
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
    // An adapter the system gave no port is the likeliest reason there is none.
    if (std::string adapters = DescribeAdaptersWithoutPort(roots); !adapters.empty())
        return adapters;
    return res::LoadString(res::IDS_REASON_NO_PORT);
}

// The udev match that picks out this adapter: its USB ids, else its kernel
// name (the device's path below /dev).
std::string UdevMatch(const PortFacts& facts, const SystemRoots& roots)
{
    if (facts.usb && !facts.vendorId.empty() && !facts.productId.empty())
        return "ATTRS{idVendor}==\"" + facts.vendorId + "\", ATTRS{idProduct}==\"" + facts.productId + "\",";
    std::error_code ec;
    const std::filesystem::path device = std::filesystem::weakly_canonical(facts.device, ec);
    const std::filesystem::path devDir = std::filesystem::weakly_canonical(roots.dev, ec);
    const std::string relative = device.lexically_relative(devDir).string();
    const bool below = !relative.empty() && !relative.starts_with("..");
    return "KERNEL==\"" + (below ? relative : device.filename().string()) + "\",";
}

} // namespace

std::string DescribeBusyPort(const std::string& shown, const std::string& device, const SystemRoots& roots)
{
    if (device.empty())
        return Fill(res::IDS_REASON_IN_USE, {shown});
    const PortFacts facts = GatherPortFacts(device, roots);
    const auto byModemManager = [](const PortHolder& h) { return h.name == kModemManager; };
    if (!facts.holders.empty()) {
        std::string text = Fill(res::IDS_REASON_IN_USE_BY, {shown, HoldersText(facts.holders)});
        if (std::any_of(facts.holders.begin(), facts.holders.end(), byModemManager))
            text += Fill(res::IDS_REASON_MODEM_MANAGER_HINT, {UdevMatch(facts, roots)});
        return text;
    }
    // Running as root, it hides its descriptors from other users; it probes
    // USB adapters.
    if (const int pid = facts.usb ? FindProcess(kModemManager, roots.proc) : 0; pid > 0)
        return Fill(res::IDS_REASON_MODEM_MANAGER_RUNNING, {shown, std::to_string(pid)}) +
               Fill(res::IDS_REASON_MODEM_MANAGER_HINT, {UdevMatch(facts, roots)});
    return Fill(res::IDS_REASON_IN_USE, {shown});
}

std::string DeviceGroup(const std::string& device)
{
    struct stat st{};
    if (device.empty() || stat(device.c_str(), &st) != 0)
        return {};
    const group* g = getgrgid(st.st_gid);
    return g != nullptr && g->gr_name != nullptr ? g->gr_name : std::string();
}

bool ReadDeviceAccess(const std::string& device, DeviceAccess* out)
{
    struct stat st{};
    if (device.empty() || stat(device.c_str(), &st) != 0)
        return false;
    const passwd* pw = getpwuid(st.st_uid);
    out->owner = pw != nullptr && pw->pw_name != nullptr ? pw->pw_name : std::to_string(st.st_uid);
    const group* g = getgrgid(st.st_gid);
    out->group = g != nullptr && g->gr_name != nullptr ? g->gr_name : std::to_string(st.st_gid);
    out->gid = st.st_gid;
    out->mode = st.st_mode & 07777;
    return true;
}

std::string GroupToJoin(const DeviceAccess& access)
{
    const bool groupMayUse = (access.mode & 060) == 060;
    return groupMayUse && access.gid != 0 && access.group != "root" ? access.group : std::string();
}

std::string PermissionAdvice(const DeviceAccess& access, const std::string& user)
{
    if (const std::string group = GroupToJoin(access); !group.empty())
        return Fill(res::IDS_REASON_PERMISSION_GROUP, {group, group, user});
    std::string who;
    if ((access.mode & 006) == 006)
        who = "everyone";
    else {
        who = (access.mode & 0600) == 0600 ? access.owner : "";
        if ((access.mode & 060) == 060)
            who += (who.empty() ? "" : " and ") + std::string("the members of the group ") + access.group;
        if (who.empty())
            who = "root";
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", access.mode & 07777);
    return Fill(res::IDS_REASON_PERMISSION_WHO, {who, mode});
}

std::string DescribeConnectFailure(const ConnectFailure& failure, const SystemRoots& roots)
{
    if (failure.kind != ConnectFailure::None && failure.kind != ConnectFailure::Refused) {
        if (failure.unplugged)
            return res::LoadString(res::IDS_REASON_UNPLUGGED);
        if (failure.refusedSpeed > 0 && failure.speedLimit > 0)
            return Fill(res::IDS_REASON_SPEED_LIMIT,
                        {PortMap::PortName(failure.refusedAtIndex < 0 ? 0 : failure.refusedAtIndex),
                         std::to_string(failure.refusedSpeed), std::to_string(failure.speedLimit)});
    }
    switch (failure.kind) {
    case ConnectFailure::None:
        return {};
    case ConnectFailure::NoPort:
        return DescribeOpenError(failure.open, roots);
    case ConnectFailure::Silent:
        return res::LoadString(res::IDS_REASON_SILENT);
    case ConnectFailure::Refused:
        return res::LoadString(failure.modelTextUnread ? res::IDS_REASON_MODEL_TEXT_UNREAD : res::IDS_REASON_REFUSED);
    }
    return {};
}

bool IsUserFixable(const ConnectFailure& failure)
{
    return failure.kind == ConnectFailure::NoPort && failure.open.kind != OpenError::Other;
}

} // namespace oskel
