#pragma once

#include <string>
#include <vector>

namespace oskel {
class ProgramCatalog;
}

namespace oskel::cli {

// The camera names `remove` completes to, kept from the last run that read
// the camera's catalog, since completion cannot open the camera (slow, and
// the port may be in use): $XDG_CACHE_HOME/oskel-uploader/camera-programs
// ($HOME/.cache/... when XDG_CACHE_HOME is unset, empty or relative), one
// name a line, as the camera stores it. It is a convenience only: a cache
// that cannot be written is left as it was, silently, and never fails a run.

// The cache file's path, "" when no home folder is known.
std::string DefaultProgramsCachePath();

// Writes the names of the programs `remove` can erase by name (the listed
// applications and attachments whose records were read; no host) to
// `path`, atomically (a temporary file beside it, then a rename). Nothing
// is written when `path` is empty or the camera's program count is unknown.
void WriteProgramsCache(const std::string& path, ProgramCatalog& catalog);

// The names in the cache at `path`, as stored; none when it is missing or
// cannot be read.
std::vector<std::string> ReadProgramsCache(const std::string& path);

} // namespace oskel::cli
