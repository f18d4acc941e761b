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

// The folder's and the camera's applications (hosts hidden, as the lists
// hide them) and the camera's free memory.
int RunList(const CliOptions& options, CliContext& context);

// The UPLOAD button on the folder items named (file or display name).
int RunUpload(const CliOptions& options, CliContext& context);

// The Remove button on the camera items named (display name, camera name
// or #slot).
int RunRemove(const CliOptions& options, CliContext& context);

// The serial ports in the order a connect tries them: device, by-id name,
// USB adapter, access and holder. Opens no port; needs no camera.
int RunPorts(const CliOptions& options, CliContext& context);

// The completion script of a shell (bash, zsh, fish), made from the option
// table; "completion names upload" lists what upload completes to. Needs no
// camera.
int RunCompletion(const CliOptions& options, CliContext& context);

} // namespace oskel::cli
