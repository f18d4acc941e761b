#pragma once

#include <string>

namespace oskel::cli {

// How the command line names a program's kind, version and camera name.
std::string KindText(int kind);              // "application" or "attachment"
std::string VersionText(int version);        // four hexadecimal digits
std::string DottedCameraName(const char* name); // "FRAME2  ATC" -> "FRAME2.ATC"

} // namespace oskel::cli
