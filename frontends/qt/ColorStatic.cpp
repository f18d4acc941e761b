#include "ColorStatic.h"

#include <QEvent>
#include <QPainter>

namespace oskel::qt {

QColor FromColorRef(uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

CColorStatic::CColorStatic(QWidget* parent)
    : QLabel(parent), m_crBack(palette().color(QPalette::Button)), m_crText(palette().color(QPalette::ButtonText))
{
    ApplyTextColour();
}

void CColorStatic::SetColors(const QColor& back, const QColor& text, bool transparent)
{
    m_crBack = back;
    m_crText = text;
    m_bTransparent = transparent;
    ApplyTextColour();
    update();
}

void CColorStatic::ApplyTextColour()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, m_crText);
    colours.setColor(QPalette::Text, m_crText);
    setPalette(colours);
}

void CColorStatic::changeEvent(QEvent* event)
{
    // A new desktop palette must not take the text colour away.
    if (event->type() == QEvent::PaletteChange && palette().color(QPalette::WindowText) != m_crText)
        ApplyTextColour();
    QLabel::changeEvent(event);
}

void CColorStatic::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const int frame = frameWidth();
        painter.fillRect(rect().adjusted(frame, frame, -frame, -frame), m_crBack);
    }
    QLabel::paintEvent(event);
}

} // namespace oskel::qt
