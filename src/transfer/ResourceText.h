#pragma once

#include <string>

namespace oskel {

// String id of the string table, with the printf arguments its format takes
// (texts as const char*). Any length.
std::string FormatResource(unsigned id, ...);

} // namespace oskel
