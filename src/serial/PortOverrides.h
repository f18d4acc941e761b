#pragma once

#include "serial/PortMap.h"

namespace oskel {

// Port overrides from the settings file: index i is key "COM<i+1>" of
// section "Ports", read anew at every lookup from the file at
// SettingsFilePath(). Indexes outside 0..9 have none.
PortMap::OverrideSource SettingsPortOverrides();

} // namespace oskel
