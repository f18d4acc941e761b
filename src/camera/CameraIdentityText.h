#pragma once

#include <cstddef>
#include <string>

namespace oskel {

// The camera id and version text registers hold 32 bytes each.
constexpr size_t kCameraTextSize = 32;

// A text the camera reported, as the program shows it: the bytes up to the
// first zero byte, at most `size` of them (a full buffer needs no
// terminator), with trailing white space (blank, tab, line feed, carriage
// return, vertical tab, form feed) removed. A null buffer gives "".
std::string CameraText(const char* buffer, size_t size);

// The About box's two camera lines, "Camera Id: %s" and
// "Camera Version: %s", each filled with CameraText of a 32-byte buffer.
std::string CameraIdLine(const char* buffer32);
std::string CameraVersionLine(const char* buffer32);

} // namespace oskel
