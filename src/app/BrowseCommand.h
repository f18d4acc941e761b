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

// Whether this process may list the folder and reach the files in it (read
// and search permission, as the effective user). On false, *reason (when
// given) holds the system's reason ("Permission denied").
bool FolderCanBeListed(const std::string& folder, std::string* reason = nullptr);

// Tells the user that the chosen folder cannot be read, with the system's
// reason: "The folder /x/ cannot be read: Permission denied."
void ReportUnreadableFolder(const std::string& folder, const std::string& reason);

} // namespace oskel
