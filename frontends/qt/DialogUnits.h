#pragma once

#include <QFont>
#include <QRect>

namespace oskel::res {
struct DialogTemplate;
}

namespace oskel::qt {

// Converts dialog units to pixels with the metrics of a dialog's font, by
// the classic rule: the base width is the average width of the 52 letters
// A-Z and a-z, rounded; the base height is the font's height; a horizontal
// dialog unit is a quarter of the base width, a vertical one an eighth of
// the base height (each value rounded to the nearest pixel).
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseWidth() const { return m_baseX; }
    int BaseHeight() const { return m_baseY; }
    int MapX(int units) const;
    int MapY(int units) const;
    // Maps left, top, width and height each on their own.
    QRect Map(int x, int y, int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};

// The font a template asks for, as shown on this desktop: "MS Sans Serif"
// (and every other face the desktop lacks) becomes the desktop's
// user-interface font (its sans-serif) at the template's point size.
QFont DialogFont(const res::DialogTemplate& dialogTemplate);

// a * b / c rounded to the nearest integer, halves away from zero, with a
// 64-bit intermediate; -1 when c is 0 (the classic MulDiv).
int MulDiv(int a, int b, int c);

} // namespace oskel::qt
