#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oskel::cli {

// A JSON string literal for text of unknown encoding: quotes, backslashes
// and control bytes are escaped, bytes above 0x7F are read as Latin-1
// (\u00XX), so the result is always valid JSON in plain ASCII.
std::string JsonString(std::string_view text);

// One JSON object built member by member, in order.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, const char* text) { return Add(key, std::string_view(text)); }
    JsonObject& Add(std::string_view key, int64_t number);
    JsonObject& Add(std::string_view key, int number) { return Add(key, static_cast<int64_t>(number)); }
    JsonObject& Add(std::string_view key, bool value);
    // `json` must be a complete JSON value (an object, an array, null).
    JsonObject& AddRaw(std::string_view key, std::string_view json);

    std::string Text() const { return "{" + m_members + "}"; }

private:
    void Key(std::string_view key);
    std::string m_members;
};

} // namespace oskel::cli
