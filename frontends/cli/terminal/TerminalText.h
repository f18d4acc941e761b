#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oskel::cli {

inline constexpr const char* kProgramName = "oskel-uploader-cli";

// Text from the camera made safe for a terminal: control bytes (below 0x20
// and 0x7F) and bytes above 0x7F, whose character set the camera does not
// tell, are written as \xNN and a backslash as \\; everything else stays as it is.
std::string Printable(std::string_view text);

// Characters of UTF-8 text (its code points), for lining up columns and
// fitting a line to the terminal.
size_t CodePoints(std::string_view text);

} // namespace oskel::cli
