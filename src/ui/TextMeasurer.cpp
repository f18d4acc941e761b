#include "ui/TextMeasurer.h"

namespace oskel::ui {
namespace {

const CharacterCountMeasurer kCharacterCount;
const ITextMeasurer* g_measurer = nullptr;

// Length of the valid UTF-8 sequence starting at text[i], or 0.
size_t SequenceLength(std::string_view text, size_t i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        low = b0 == 0xE0 ? 0xA0 : 0x80;
        high = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        low = b0 == 0xF0 ? 0x90 : 0x80;
        high = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        const unsigned char lo = k == 1 ? low : 0x80;
        const unsigned char hi = k == 1 ? high : 0xBF;
        if (b < lo || b > hi)
            return 0;
    }
    return length;
}

} // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at)
{
    return at < text.size() ? SequenceLength(text, at) : 0;
}

int CountCharacters(std::string_view text)
{
    int count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        const size_t n = SequenceLength(text, i);
        i += n == 0 ? 1 : n;
    }
    return count;
}

int CharacterCountMeasurer::TextWidth(std::string_view text) const
{
    return CountCharacters(text);
}

void SetTextMeasurer(const ITextMeasurer* measurer)
{
    g_measurer = measurer;
}

const ITextMeasurer& CurrentTextMeasurer()
{
    return g_measurer != nullptr ? *g_measurer : kCharacterCount;
}

} // namespace oskel::ui
