#include "report/JsonWriter.h"

#include "ui/ReadableText.h"

#include <cstdio>

namespace oskel::cli {
namespace {

void AppendEscape(std::string& out, unsigned unit)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", unit & 0xFFFFu);
    out += escape;
}

void AppendCodePoint(std::string& out, char32_t c)
{
    if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
    } else if (c > 0xFFFF) {
        const char32_t v = c - 0x10000;
        AppendEscape(out, 0xD800 + (v >> 10));
        AppendEscape(out, 0xDC00 + (v & 0x3FF));
    } else {
        AppendEscape(out, c);
    }
}

// The length of the valid UTF-8 sequence at the start of `s` (its code
// point in `c`), or 0 when it is not one: overlong forms, surrogates and
// values above U+10FFFF are not valid.
size_t Utf8Sequence(std::string_view s, char32_t* c)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    size_t n = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        *c = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, *c = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, *c = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, *c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < n)
        return 0;
    for (size_t i = 1; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        *c = (*c << 6) | (b & 0x3F);
    }
    if (*c < min || *c > 0x10FFFF || (*c >= 0xD800 && *c <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        char32_t c = 0;
        size_t n = Utf8Sequence(text, &c);
        if (n == 0) {
            c = static_cast<unsigned char>(text[0]); // Latin-1
            n = 1;
        }
        AppendCodePoint(out, c);
        text.remove_prefix(n);
    }
    return out + "\"";
}

std::string JsonBytesString(std::string_view bytes)
{
    std::string out = "\"";
    for (const char ch : bytes)
        AppendCodePoint(out, static_cast<unsigned char>(ch));
    return out + "\"";
}

std::string HexBytes(std::string_view bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
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

JsonObject& JsonObject::AddBytes(std::string_view key, std::string_view bytes)
{
    Key(key);
    m_members += JsonBytesString(bytes);
    return *this;
}

JsonObject& JsonObject::AddName(std::string_view key, std::string_view bytes)
{
    const std::string text = ui::ReadableText(bytes);
    Add(key, text);
    if (text != bytes)
        Add(std::string(key) + "Hex", HexBytes(bytes));
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json)
{
    Key(key);
    m_members += json;
    return *this;
}

} // namespace oskel::cli
