#pragma once

#include <string>

namespace oskel::cli {

// How the command line names a program's kind, version and camera name.
std::string KindText(int kind);              // "application" or "attachment"
std::string VersionText(int version);        // four hexadecimal digits
// "FRAME2  ATC" -> "FRAME2.ATC", as a user would type it: the bytes, and the
// text shown.
std::string DottedCameraBytes(const char* name);
std::string DottedCameraName(const char* name);

} // namespace oskel::cli
