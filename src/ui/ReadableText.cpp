#include "ui/ReadableText.h"

#include "ui/TextMeasurer.h"

namespace oskel::ui {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80..0x9F; 0 where the code page defines nothing.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t FromCodePage(unsigned char b)
{
    if (b < 0x20 || b == 0x7F)
        return kReplacement;
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80] != 0 ? kCp1252High[b - 0x80] : kReplacement;
    return b;
}

} // namespace

std::string ReadableText(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const size_t n = Utf8SequenceLength(bytes, i);
        const bool c1Control = n == 2 && b == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
        if (c1Control) {
            AppendUtf8(out, kReplacement);
            i += n;
        } else if (b >= 0x20 && b != 0x7F && n > 0) {
            out.append(bytes.substr(i, n));
            i += n;
        } else {
            AppendUtf8(out, FromCodePage(b));
            ++i;
        }
    }
    return out;
}

} // namespace oskel::ui
