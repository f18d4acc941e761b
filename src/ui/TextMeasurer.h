#pragma once

#include <cstddef>
#include <string_view>

namespace oskel::ui {

// Measures text as a front end draws it (the classic text-extent call on a
// control's font). A Qt front end measures in pixels with the list's font;
// the default counts characters.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    virtual int TextWidth(std::string_view text) const = 0;
};

// The default: one unit per UTF-8 character; a byte that does not belong to
// a valid UTF-8 sequence counts as one character.
class CharacterCountMeasurer final : public ITextMeasurer {
public:
    int TextWidth(std::string_view text) const override;
};

// Installs the process-wide measurer used by lists that have none of their
// own (null restores the character count). Not owned.
void SetTextMeasurer(const ITextMeasurer* measurer);
const ITextMeasurer& CurrentTextMeasurer();

// Number of characters of text read as UTF-8 (invalid bytes count one each).
int CountCharacters(std::string_view text);
// Length of the valid UTF-8 sequence that starts at text[at]; 0 when the
// byte there starts none (or at is past the end).
size_t Utf8SequenceLength(std::string_view text, size_t at);

} // namespace oskel::ui
