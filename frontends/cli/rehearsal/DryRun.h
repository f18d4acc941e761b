#pragma once

#include "CliContext.h"
#include "CliOptions.h"

#include <vector>

namespace oskel {
class ProgramCatalog;
}

namespace oskel::cli {

class CliSession;

// --dry-run: the button's operation on the list items `chosen` (indexes in
// the folder list for an upload, the camera list for a removal), run for
// real against a RehearsalCamera seeded from the camera just read, and told
// item by item (or as --json). Nothing but reads reaches the camera. The
// questions are answered as the real run would answer them; a terminal
// user's questions are reported as asked, and the rehearsal goes on as
// after Yes (or OK). kExitFailed when an item would fail, be cancelled or
// not be confirmed.
int RunDryRun(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog,
              const std::vector<int>& chosen, bool upload);

} // namespace oskel::cli
