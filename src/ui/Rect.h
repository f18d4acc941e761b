#pragma once

namespace oskel::ui {

// A rectangle in screen pixels: left and top inclusive, right and bottom
// exclusive, as the classic toolkit keeps them.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Show states of a window, as the classic window placement reports them.
enum ShowState : int {
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
};

} // namespace oskel::ui
