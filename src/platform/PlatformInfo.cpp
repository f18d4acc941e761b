#include "platform/PlatformInfo.h"

#include <cstdlib>
#include <sys/utsname.h>

namespace oskel {

bool PlatformInfo::IsWin32s()
{
    const PlatformVersion v = Query();
    return !v.ok || v.platformId == kPlatformWin32s;
}

PlatformVersion LinuxPlatformInfo::Query()
{
    PlatformVersion v;
    v.ok = true;
    v.platformId = kPlatformWin32NT;
    v.posix = true;
    utsname name{};
    if (uname(&name) == 0)
        v.majorVersion = std::atoi(name.release);
    return v;
}

LinuxPlatformInfo& LinuxPlatformInfo::Instance()
{
    static LinuxPlatformInfo instance;
    return instance;
}

} // namespace oskel
