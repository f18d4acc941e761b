#pragma once

#include <string>

namespace oskel::ui {

// The program's texts are English whatever the user's language, so the
// figures inside them follow the C locale's rules too: "4.0 KB/s, 2 s left"
// under de_DE as under en_US, never "4,0 KB/s" in a sentence whose commas
// separate its parts. The desktop program's toolkit switches the C library
// to the user's locale at start-up; these helpers do not depend on it.

// printf-style formatting with the C locale's numbers, on any thread.
std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ASCII-only case mapping: 'I' becomes 'i' even under tr_TR, where the C
// library leaves it as it is (its lower case there is the dotless i).
char AsciiLower(char c);
std::string AsciiLower(std::string text);

} // namespace oskel::ui
