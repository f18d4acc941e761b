#pragma once

#include "platform/PlatformInfo.h"
#include "ui/OwnerWindow.h"

#include <optional>
#include <string>

namespace oskel {

// The chooser part of the main dialog's Browse command: runs the folder
// chooser owned by `owner`, starting in `folder`, with the prompt "Choose a
// folder where application files may be found:". Returns the chosen folder
// ending with '/' (also the root "/"), or nullopt when the user cancelled;
// the caller then stores it, shows it and refreshes the folder list.
std::optional<std::string> ChooseProgramFolder(ui::IOwnerWindow* owner, const std::string& folder,
                                               PlatformInfo& platform = LinuxPlatformInfo::Instance());

} // namespace oskel
