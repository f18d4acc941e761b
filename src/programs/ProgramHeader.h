#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oskel {

// The 120-byte header at the start of every program file, and its two field
// encodings: four-digit hexadecimal numbers and '~'-terminated text.
constexpr int kProgramHeaderSize = 120;
constexpr int kHeaderSignatureSize = 8;
constexpr int kHeaderKindOffset = 8;
constexpr int kHeaderAppIdOffset = 12;
constexpr int kHeaderCopyFlagOffset = 16;
constexpr int kHeaderDisplayNameOffset = 52;
constexpr int kDisplayNameWidth = 40;
constexpr int kHeaderVersionOffset = 116;

// Kinds of program (header offset 8, record offset 20).
enum ProgramKind : int {
    kKindStandalone = 3, // an application, shown in both lists
    kKindHost = 4,       // never shown; carries attachments of its id
    kKindAttachment = 5, // shown; belongs to the host with its id
};

// Kinds shown in the lists.
inline bool IsListedKind(int kind) { return kind == kKindStandalone || kind == kKindAttachment; }

// The signature a camera requires: "KAVRA~" (6 bytes compared) from a
// family-4 camera, "KAVRA+~" (7 bytes) from every other family.
inline bool RequiresPlusSignature(int family) { return family != 4; }

// Four hexadecimal digits ('0'-'9', 'a'-'f', 'A'-'F'), most significant
// first: 0..65535, or -1 when any of the four is something else (a blank
// and a NUL included). Reads exactly four bytes.
int ParseHex4(const uint8_t* digits);
int ParseHex4(const char* digits);

// True when the header begins with the required signature (exact bytes) and
// the four hex fields (offsets 8, 12, 16, 116) parse. The kind is not
// restricted. header points to kProgramHeaderSize bytes.
bool IsValidHeader(const uint8_t* header, bool plusSignature);

// The text of a text field: the bytes before the first '~', at most width.
// A NUL byte also ends the text, since every place the text is used (list
// items, messages) takes it as a C string. The bytes are returned as they
// are; show them through ui::ReadableText.
std::string ReadTextField(const uint8_t* field, int width);
// Copies text (cut at width), puts '~' where it ends and blanks after it; a
// text that fills the whole width gets no '~'.
void WriteTextField(uint8_t* field, int width, std::string_view text);

// The version rule: a file is newer than a stored program when its version
// is greater, both read as unsigned 16-bit numbers. Equal or smaller means
// an up-to-date version is already in the camera.
inline bool IsNewerVersion(uint16_t fileVersion, uint16_t storedVersion) { return fileVersion > storedVersion; }

} // namespace oskel
