#include "serial/PortOverrides.h"

#include "platform/ProfileFile.h"

namespace oskel {

PortMap::OverrideSource SettingsPortOverrides()
{
    return [](int index) -> std::string {
        if (index < 0 || index > 9)
            return {};
        return ProfileFile(SettingsFilePath()).GetString("Ports", PortMap::PortName(index), "");
    };
}

} // namespace oskel
