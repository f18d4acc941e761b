#include "app/FitPathToWidth.h"

#include <cstdint>

namespace oskel {
namespace {

constexpr char kSeparator = '/';
constexpr std::string_view kDots = "...";

// Length in bytes of the well-formed UTF-8 sequence starting at text[i], or
// 1 when the byte there starts none.
size_t SequenceLength(std::string_view text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the first trail byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 1;
    if (i + length > text.size())
        return 1;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 1;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 1;
    return length;
}

// Byte offset just past the first `count` characters (or the text's end).
size_t SkipCharacters(std::string_view text, size_t count)
{
    size_t i = 0;
    for (; count > 0 && i < text.size(); --count)
        i += SequenceLength(text, i);
    return i;
}

// The next separator at or after `from` that does not end the path.
size_t NextInnerSeparator(std::string_view path, size_t from)
{
    const size_t pos = path.find(kSeparator, from);
    return pos == std::string_view::npos || pos + 1 == path.size() ? std::string_view::npos : pos;
}

} // namespace

size_t CountCharacters(std::string_view text)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += SequenceLength(text, i))
        ++count;
    return count;
}

std::string FitPathToWidth(std::string_view path, int limit, const TextMeasure& measure)
{
    const size_t characters = CountCharacters(path);
    const int64_t whole = measure ? int64_t{measure(path)} : static_cast<int64_t>(characters);
    if (characters <= 3 || whole <= limit)
        return std::string(path);

    // The root ('/') stands where a drive path has its drive; a relative
    // path keeps just its first folder.
    const size_t rootEnd = !path.empty() && path[0] == kSeparator ? SkipCharacters(path, 1) : 0;
    const size_t first = NextInnerSeparator(path, rootEnd);
    if (first == std::string_view::npos)
        return std::string(path);

    const std::string_view prefix = path.substr(0, first + 1);
    std::string withDots = std::string(prefix) + std::string(kDots);
    const int64_t prefixWidth = measure ? int64_t{measure(withDots)} : 0;
    const int64_t prefixCharacters = static_cast<int64_t>(CountCharacters(prefix));

    size_t separator = first;
    int64_t tailCharacters = static_cast<int64_t>(characters) - prefixCharacters + 1;
    for (;;) {
        const size_t next = NextInnerSeparator(path, separator + 1);
        if (next == std::string_view::npos)
            break;
        tailCharacters -= static_cast<int64_t>(CountCharacters(path.substr(separator, next - separator)));
        separator = next;
        const std::string_view tail = path.substr(separator);
        const bool fits = measure ? prefixWidth + measure(tail) <= limit
                                  : prefixCharacters + tailCharacters - 1 <= limit;
        if (fits)
            return withDots + std::string(tail);
    }
    return std::string(kDots) + std::string(path.substr(separator));
}

} // namespace oskel
