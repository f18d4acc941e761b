#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace oskel {

// Width of a text in pixels of some font (UTF-8 in).
using TextMeasure = std::function<int(std::string_view)>;

// Number of characters of a UTF-8 text; each byte that does not start or
// continue a well-formed sequence counts as one character, so the count of
// any byte string is well defined.
size_t CountCharacters(std::string_view text);

// Shortens a folder path to fit a limit by replacing middle folders with
// "...". With a measure the limit is in pixels; without one it is a number
// of characters.
//
// The path keeps its root and first folder, then "...", then as many of the
// last folders as fit:
//   /home/ann/Camera/Programs/Sub/Dir -> /home/.../Sub/Dir -> /home/.../Dir
//                                     -> .../Dir
// A path of 3 characters or fewer, one that fits already, and one with no
// separator after its first folder are returned unchanged. A separator that
// ends the path belongs to the last folder (/a/b/c/ -> /a/.../c/), so the
// label always names the folder itself. In character mode a tail counts as
// fitting when the prefix's and the tail's characters, minus one, are within
// the limit (the three dots are not counted), as in the classic routine.
// Paths of any length and texts that are not valid UTF-8 are handled; the
// result only ever holds pieces of the path and "...".
std::string FitPathToWidth(std::string_view path, int limit, const TextMeasure& measure = {});

} // namespace oskel
