#pragma once

#include "CliContext.h"
#include "CliOptions.h"

namespace oskel::cli {

// The subcommands. Each returns the exit status.

// Connects as the program does and prints the port with its device, the
// speed reached, the model text and the camera family.
int RunProbe(const CliOptions& options, CliContext& context);

// Prints the camera's id and version lines as the About box forms them.
int RunAbout(const CliOptions& options, CliContext& context);

} // namespace oskel::cli
