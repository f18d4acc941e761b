#include "platform/IniText.h"

#include <algorithm>

namespace oskel {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

bool HasAny(std::string_view s, std::string_view chars)
{
    return s.find_first_of(chars) != std::string_view::npos;
}

const std::string_view kLineBreaks("\r\n\0", 3);

} // namespace

IniText::IniText(std::string text) : m_text(std::move(text))
{
    Split();
}

void IniText::Split()
{
    m_lines.clear();
    m_bodyStart = m_text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    size_t pos = m_bodyStart;
    while (pos < m_text.size()) {
        const size_t newline = m_text.find('\n', pos);
        Line line{};
        line.begin = pos;
        if (newline == std::string::npos) {
            line.end = m_text.size();
            line.next = m_text.size();
        } else {
            line.end = newline;
            line.next = newline + 1;
        }
        if (newline != std::string::npos && line.end > line.begin && m_text[line.end - 1] == '\r')
            --line.end;
        m_lines.push_back(line);
        pos = line.next;
    }
}

std::string_view IniText::Content(const Line& line) const
{
    std::string_view content(m_text.data() + line.begin, line.end - line.begin);
    while (!content.empty() && IsBlank(content.front()))
        content.remove_prefix(1);
    return content;
}

std::optional<std::string_view> IniText::SectionName(const Line& line) const
{
    const std::string_view content = Content(line);
    if (content.empty() || content.front() != '[')
        return std::nullopt;
    const size_t close = content.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(content.substr(1, close - 1));
}

std::optional<std::string_view> IniText::KeyName(const Line& line) const
{
    const std::string_view content = Content(line);
    if (content.empty() || content.front() == ';' || SectionName(line))
        return std::nullopt;
    const std::string_view name = Trim(content.substr(0, content.find('=')));
    if (name.empty())
        return std::nullopt;
    return name;
}

std::optional<size_t> IniText::FindSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (name && SameName(*name, section))
            return i;
    }
    return std::nullopt;
}

size_t IniText::SectionEnd(size_t header) const
{
    size_t i = header + 1;
    while (i < m_lines.size() && !SectionName(m_lines[i]))
        ++i;
    return i;
}

std::optional<IniText::KeyLocation> IniText::FindKey(size_t header, std::string_view key) const
{
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const auto name = KeyName(m_lines[i]);
        if (!name || !SameName(*name, key))
            continue;
        const Line& line = m_lines[i];
        KeyLocation at{i, false, 0, 0};
        const std::string_view whole(m_text.data() + line.begin, line.end - line.begin);
        const size_t equalsAt = whole.find('=');
        if (equalsAt != std::string_view::npos) {
            const size_t equals = line.begin + equalsAt;
            at.hasValue = true;
            const std::string_view value =
                Trim(std::string_view(m_text.data() + equals + 1, line.end - equals - 1));
            at.valueBegin = static_cast<size_t>(value.data() - m_text.data());
            at.valueEnd = at.valueBegin + value.size();
        }
        return at;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const
{
    const auto header = FindSection(section);
    if (!header)
        return std::nullopt;
    const auto at = FindKey(*header, key);
    if (!at || !at->hasValue)
        return std::nullopt;
    std::string_view value(m_text.data() + at->valueBegin, at->valueEnd - at->valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string IniText::EncodeValue(std::string_view value)
{
    const bool blanks = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (blanks || quoted)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string IniText::LineEnding() const
{
    for (const Line& line : m_lines) {
        if (line.next > line.end)
            return m_text.compare(line.end, 2, "\r\n") == 0 ? "\r\n" : "\n";
    }
    return "\n";
}

void IniText::Insert(size_t offset, const std::string& bytes)
{
    m_text.insert(offset, bytes);
    Split();
}

bool IniText::Set(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view trimmedKey = Trim(key);
    if (HasAny(section, kLineBreaks) || HasAny(section, "]") || HasAny(key, kLineBreaks) ||
        HasAny(key, "=") || trimmedKey.empty() || trimmedKey.front() == '[' ||
        trimmedKey.front() == ';' || HasAny(value, kLineBreaks))
        return false;

    const std::string encoded = EncodeValue(value);
    const std::string ending = LineEnding();
    const auto header = FindSection(section);
    if (header) {
        if (const auto at = FindKey(*header, key)) {
            if (at->hasValue) {
                m_text.replace(at->valueBegin, at->valueEnd - at->valueBegin, encoded);
                Split();
            } else {
                const Line& line = m_lines[at->line];
                const std::string_view content = Trim(Content(line));
                const size_t nameEnd = static_cast<size_t>(content.data() - m_text.data()) + content.size();
                Insert(nameEnd, "=" + encoded);
            }
            return true;
        }
        // A new key goes after the last key of the section.
        size_t last = *header;
        const size_t sectionEnd = SectionEnd(*header);
        for (size_t i = *header + 1; i < sectionEnd; ++i) {
            if (KeyName(m_lines[i]))
                last = i;
        }
        const Line& line = m_lines[last];
        const std::string entry = std::string(Trim(key)) + "=" + encoded;
        if (line.next == line.end)
            Insert(line.next, ending + entry);
        else
            Insert(line.next, entry + ending);
        return true;
    }

    std::string tail;
    if (!m_lines.empty()) {
        const Line& lastLine = m_lines.back();
        if (lastLine.next == lastLine.end)
            tail += ending;
        if (!Trim(Content(lastLine)).empty())
            tail += ending;
    }
    tail += "[" + std::string(Trim(section)) + "]" + ending + std::string(Trim(key)) + "=" + encoded + ending;
    Insert(m_text.size(), tail);
    return true;
}

} // namespace oskel
