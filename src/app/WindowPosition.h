#pragma once

#include "app/SettingsStore.h"
#include "ui/Rect.h"

#include <string>
#include <string_view>

namespace oskel {

// The window-position store: "left top width height showState" under a
// settings key, written when a window is destroyed and read when the next
// one is created.

// Longest value read: the text is looked at through a buffer of this many
// bytes, terminator included, so anything beyond byte 255 is ignored.
inline constexpr size_t kWindowPositionBufferSize = 256;

// Reads a value in the stored format. Tokens are separated by spaces or
// commas and converted as atoi does (leading digits, 0 when there are none,
// saturated at the int range). Returns true and fills rect and showState
// when five tokens are present and the width and height are not 0 (negative
// values are accepted). A right or bottom edge outside the int range makes
// the value invalid. Tokens beyond the fifth are ignored. On false the
// outputs are unspecified.
bool ParseWindowPosition(std::string_view text, ui::Rect* rect, int* showState);

// "%d %d %d %d %d" with left, top, width, height and showState.
std::string FormatWindowPosition(const ui::Rect& rect, int showState);

// ParseWindowPosition on the setting's text (empty when absent).
bool LoadWindowPosition(const CSettingsStore& settings, const std::string& section, const std::string& key,
                        ui::Rect* rect, int* showState);

// Writes the window's normal (restored) rectangle and its show state.
bool SaveWindowPosition(CSettingsStore& settings, const std::string& section, const std::string& key,
                        const ui::Rect& normalRect, int showState);

// Moves rect into screen, in this order: right edge in, left edge in,
// bottom edge in, top edge in; so a rectangle larger than the screen ends
// at the screen's left and top. The size is kept; the arithmetic cannot
// overflow (an edge pushed beyond the int range stops at its limit).
void ClampRectToScreen(ui::Rect* rect, const ui::Rect& screen);

} // namespace oskel
