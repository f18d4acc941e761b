#include "JsonWriter.h"

#include <cstdio>

namespace oskel::cli {

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

void JsonObject::Key(std::string_view key)
{
    if (!m_members.empty())
        m_members += ',';
    m_members += JsonString(key) + ':';
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text)
{
    Key(key);
    m_members += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, int64_t number)
{
    Key(key);
    m_members += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value)
{
    Key(key);
    m_members += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json)
{
    Key(key);
    m_members += json;
    return *this;
}

} // namespace oskel::cli
