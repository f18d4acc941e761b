#pragma once

#include <cstdint>
#include <string>

namespace oskel {

// String `id` of the string table with its one "%s" replaced by text. The
// text is never read as a format, so a '%' in a path is shown as it is.
std::string FormatMessageText(unsigned id, const std::string& text);

// String `id` with its one hexadecimal number ("%08x") filled in.
std::string FormatMessageCode(unsigned id, uint32_t code);

} // namespace oskel
