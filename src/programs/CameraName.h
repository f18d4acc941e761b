#pragma once

#include <string>
#include <string_view>

namespace oskel {

class ProgramCatalog;

// The name of a program inside the camera: 11 characters and a NUL, 12 bytes
// in all, built from the file name: the part before the first '.', blanks up
// to 8, the three bytes after that '.', NUL. Letters keep their case.
// "PROG.FNC" gives "PROG    FNC"; "a.b.fnc" gives "a       b.f".
constexpr int kCameraNameSize = 12;

// Fills name (12 bytes) and returns true when fileName has a camera name.
//
// Names are bytes and are counted in bytes. A file name has no camera name
// when the part before its first '.' is empty or longer than 8 bytes, when
// it has no '.', or when fewer than three bytes follow the first '.'; then
// name is set to 12 NUL bytes and the result is false. The 12 bytes are
// never overrun and never cut short: such files are left out of the folder
// catalog (ProgramCatalog::unnamedFiles lists them), because any shortened
// name could stand for two files and an upload of one would then replace or
// skip the other.
bool MakeCameraName(std::string_view fileName, char* name);

// A name to suggest for a file that has no camera name: the part before the
// first '.' cut to 8 bytes (never inside a UTF-8 character; "HOST" when it is
// empty), then the '.' and the rest as they are. "FRAMESHOST.FNC" gives
// "FRAMESHO.FNC".
std::string ShortenedFileName(std::string_view fileName);

// The 11 characters of a camera name as text (for messages and logs).
std::string CameraNameText(const char* name);

// Camera names compared over all 12 bytes, ASCII letters without regard to
// case.
bool CameraNamesEqual(const char* a, const char* b);

// Turns the camera name of an attachment already in the camera into the name
// for one more copy, in place: at p, the first blank among positions 0..6 (7
// when there is none), the first of '2'..'5' whose name the catalog does not
// hold (FindInCamera), or '6' (not looked up) when all four are taken.
void NextCopyName(char* name, const ProgramCatalog& catalog);

} // namespace oskel
