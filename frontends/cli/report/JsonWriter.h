#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oskel::cli {

// A JSON string literal in plain ASCII for text: each character of valid
// UTF-8 is escaped as its code point ("é" is \u00E9, characters beyond
// U+FFFF as a surrogate pair), so a reader gets back the same text; a byte
// that is not part of valid UTF-8 is read as Latin-1 (\u00XX). Quotes,
// backslashes and control characters are escaped.
std::string JsonString(std::string_view text);

// The camera's own texts (model, id, version), whose encoding nobody knows:
// each byte above 0x7F on its own as \u00XX.
std::string JsonBytesString(std::string_view bytes);

// The bytes as upper-case hexadecimal, two digits a byte.
std::string HexBytes(std::string_view bytes);

// One JSON object built member by member, in order.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, const char* text) { return Add(key, std::string_view(text)); }
    JsonObject& Add(std::string_view key, int64_t number);
    JsonObject& Add(std::string_view key, int number) { return Add(key, static_cast<int64_t>(number)); }
    JsonObject& Add(std::string_view key, bool value);
    // A camera text (JsonBytesString).
    JsonObject& AddBytes(std::string_view key, std::string_view bytes);
    // A name from outside (a file name, a display name): `key` holds the
    // text the user sees (ui::ReadableText); when that is not exactly the
    // name's bytes (not valid UTF-8, control characters), `key` + "Hex"
    // holds the bytes, which select the item on the command line.
    JsonObject& AddName(std::string_view key, std::string_view bytes);
    // `json` must be a complete JSON value (an object, an array, null).
    JsonObject& AddRaw(std::string_view key, std::string_view json);

    std::string Text() const { return "{" + m_members + "}"; }

private:
    void Key(std::string_view key);
    std::string m_members;
};

} // namespace oskel::cli
