#pragma once

#include <string>
#include <string_view>

namespace oskel::ui {

// Text from outside (file names, which are bytes on Linux, and the text
// fields of program headers) made fit to show: valid UTF-8 stays as it is;
// each byte that is not part of a valid UTF-8 sequence is read as a
// Windows-1252 character (the code page the program files were written in),
// so "Caf\xE9" shows as "Café"; bytes that code page leaves undefined, and
// control characters (below 0x20 and 0x7F), become U+FFFD. The result is
// always valid UTF-8.
std::string ReadableText(std::string_view bytes);

} // namespace oskel::ui
