#include "app/WindowPosition.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

namespace oskel {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi, without its undefined behaviour on overflow: the value saturates.
int AtoiSaturating(std::string_view token)
{
    size_t i = 0;
    while (i < token.size() && IsSpace(token[i]))
        ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    int64_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (token[i] - '0'), int64_t{INT_MAX} + 1);
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

bool FitsInt(int64_t value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

} // namespace

bool ParseWindowPosition(std::string_view text, ui::Rect* rect, int* showState)
{
    text = text.substr(0, std::min(text.size(), kWindowPositionBufferSize - 1));
    int values[5] = {};
    int found = 0;
    size_t pos = 0;
    while (found < 5) {
        pos = text.find_first_not_of(" ,", pos);
        if (pos == std::string_view::npos)
            return false;
        const size_t end = std::min(text.find_first_of(" ,", pos), text.size());
        values[found++] = AtoiSaturating(text.substr(pos, end - pos));
        pos = end;
    }
    const int64_t right = int64_t{values[0]} + values[2];
    const int64_t bottom = int64_t{values[1]} + values[3];
    if (values[2] == 0 || values[3] == 0 || !FitsInt(right) || !FitsInt(bottom))
        return false;
    *rect = {values[0], values[1], static_cast<int>(right), static_cast<int>(bottom)};
    *showState = values[4];
    return true;
}

std::string FormatWindowPosition(const ui::Rect& rect, int showState)
{
    char text[80];
    std::snprintf(text, sizeof text, "%d %d %lld %lld %d", rect.left, rect.top,
                  static_cast<long long>(int64_t{rect.right} - rect.left),
                  static_cast<long long>(int64_t{rect.bottom} - rect.top), showState);
    return text;
}

bool LoadWindowPosition(const CSettingsStore& settings, const std::string& section, const std::string& key,
                        ui::Rect* rect, int* showState)
{
    return ParseWindowPosition(settings.GetProfileString(section, key), rect, showState);
}

bool SaveWindowPosition(CSettingsStore& settings, const std::string& section, const std::string& key,
                        const ui::Rect& normalRect, int showState)
{
    return settings.WriteProfileString(section, key, FormatWindowPosition(normalRect, showState));
}

void ClampRectToScreen(ui::Rect* rect, const ui::Rect& screen)
{
    int64_t left = rect->left;
    int64_t top = rect->top;
    int64_t right = rect->right;
    int64_t bottom = rect->bottom;
    auto shiftX = [&](int64_t by) { left += by, right += by; };
    auto shiftY = [&](int64_t by) { top += by, bottom += by; };
    if (right > screen.right)
        shiftX(screen.right - right);
    if (left < screen.left)
        shiftX(screen.left - left);
    if (bottom > screen.bottom)
        shiftY(screen.bottom - bottom);
    if (top < screen.top)
        shiftY(screen.top - top);
    auto narrow = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); };
    *rect = {narrow(left), narrow(top), narrow(right), narrow(bottom)};
}

} // namespace oskel
