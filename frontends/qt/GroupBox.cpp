#include "GroupBox.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace oskel::qt {

CGroupBox::CGroupBox(QWidget* parent) : QGroupBox(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame(0, top, width() - 1, height() - 1 - top);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const int indent = metrics.averageCharWidth();
    QRect text = style()->itemTextRect(metrics, QRect(indent, 0, width() - 2 * indent, metrics.height()),
                                       Qt::AlignLeft | Qt::TextShowMnemonic, isEnabled(), title());
    text.adjust(-2, 0, 2, 0);
    p.fillRect(text, palette().color(QPalette::Window));
    style()->drawItemText(&p, text.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::TextShowMnemonic, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

bool CGroupBox::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        for (QWidget* next = nextInFocusChain(); next != nullptr && next != this; next = next->nextInFocusChain()) {
            if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) != 0) {
                next->setFocus(Qt::ShortcutFocusReason);
                break;
            }
        }
        return true;
    }
    return QGroupBox::event(event);
}

} // namespace oskel::qt
