#include "BitmapPushButton.h"

#include "Resources.h"
#include "TemplateDialog.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace oskel::qt {
namespace {

const QColor kFace(192, 192, 192); // the fixed light-grey face (LTGRAY_BRUSH)

// An inclusive rectangle, as the drawing steps count pixels.
struct Box {
    int left, top, right, bottom;
    void Shrink(int n) { left += n, top += n, right -= n, bottom -= n; }
};

void Pixels(QPainter& p, int left, int top, int right, int bottom, const QColor& colour)
{
    if (right >= left && bottom >= top)
        p.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), colour);
}

// The classic frame: up the left edge from one above the bottom-left corner
// and along the top edge to the top-right corner with the first colour
// (the end points excluded, as a line ends short of its end point), then
// down the right edge and along the bottom edge to one beyond the
// bottom-left corner with the second.
void Frame(QPainter& p, const Box& r, const QColor& first, const QColor& second)
{
    Pixels(p, r.left, r.top, r.left, r.bottom - 1, first);
    Pixels(p, r.left, r.top, r.right - 1, r.top, first);
    Pixels(p, r.right, r.top, r.right, r.bottom - 1, second);
    Pixels(p, r.left, r.bottom, r.right, r.bottom, second);
}

// The dotted focus rectangle inside the exclusive rectangle: every other
// pixel of its edges inverted.
void FocusRect(QPainter& p, int left, int top, int right, int bottom)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (int x = left; x < right; ++x) {
        if ((x - left) % 2 == 0) {
            p.fillRect(x, top, 1, 1, Qt::white);
            p.fillRect(x, bottom - 1, 1, 1, Qt::white);
        }
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        if ((y - top) % 2 == 0) {
            p.fillRect(left, y, 1, 1, Qt::white);
            p.fillRect(right - 1, y, 1, 1, Qt::white);
        }
    }
    p.restore();
}

} // namespace

CBitmapPushButton::CBitmapPushButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
}

namespace {

bool IsEnterKey(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier);
}

} // namespace

void CBitmapPushButton::keyPressEvent(QKeyEvent* event)
{
    // Enter works as Space does: the button goes down while the key is held
    // and is pressed when it is released, while it has the focus.
    if (!IsEnterKey(event)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        setDown(true);
    event->accept();
}

void CBitmapPushButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!IsEnterKey(event)) {
        QPushButton::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || !isDown())
        return;
    setDown(false);
    click();
}

int CBitmapPushButton::AutoLoad(int id, QWidget* parent, bool relayout)
{
    if (parent == nullptr || parentWidget() != parent || ControlId(this) != id)
        return 0;
    if (!LoadBitmap(text() + QLatin1Char('U')))
        return 0;
    SizeToContent(relayout);
    return 1;
}

bool CBitmapPushButton::LoadBitmap(const QString& name)
{
    const QImage face = LoadBitmapResource(FromQt(name));
    if (face.isNull())
        return false;
    SetBitmap(face);
    return true;
}

void CBitmapPushButton::SetBitmap(const QImage& face)
{
    m_bmpFace = face.convertToFormat(QImage::Format_RGB32);
    m_bmpDisabled = QImage();
    m_nWidth = m_bmpFace.width();
    m_nHeight = m_bmpFace.height();
    update();
}

void CBitmapPushButton::SizeToContent(bool relayout)
{
    m_nOffsetX = m_nOffsetY = kBorder;
    const QRect old = geometry();
    setFixedSize(m_nWidth + 2 * kBorder, m_nHeight + 2 * kBorder);
    resize(m_nWidth + 2 * kBorder, m_nHeight + 2 * kBorder);
    QWidget* parent = parentWidget();
    if (!relayout || parent == nullptr)
        return;

    // Edges as exclusive coordinates in the parent's client area.
    const int oldRight = old.x() + old.width(), oldBottom = old.y() + old.height();
    const int newRight = x() + width(), newBottom = y() + height();
    const int dx = newRight - oldRight, dy = newBottom - oldBottom;
    const int x0 = std::min(oldRight, newRight), y0 = std::min(oldBottom, newBottom);

    const QSize grown(parent->width() + dx, parent->height() + dy);
    if (parent->minimumSize() == parent->maximumSize())
        parent->setFixedSize(grown);
    parent->resize(grown);

    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child == this || child->isWindow())
            continue;
        const QRect r = child->geometry();
        int left = r.x(), top = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
        if (left <= x0 && right > x0 && dx < 0 && qobject_cast<QPushButton*>(child) != nullptr) {
            // A push button spanning the edge (Close, centred under UPLOAD)
            // keeps its width, which its text needs, where the edge moves
            // in (a large font, whose units outgrow the bitmap): it moves
            // by half as much, staying centred under the button.
            left += dx / 2;
            right += dx / 2;
        } else {
            if (left > x0)
                left += dx;
            if (right > x0)
                right += dx;
        }
        if (top > y0)
            top += dy;
        if (bottom > y0)
            bottom += dy;
        child->setGeometry(left, top, right - left, bottom - top);
    }
    parent->update();
}

const QImage& CBitmapPushButton::DisabledImage()
{
    if (m_bmpDisabled.isNull() && !m_bmpFace.isNull())
        m_bmpDisabled = MakeDisabledImage(m_bmpFace, palette().color(QPalette::Light), palette().color(QPalette::Dark));
    return m_bmpDisabled;
}

QImage CBitmapPushButton::MakeDisabledImage(const QImage& face, const QColor& highlight, const QColor& shadow)
{
    if (face.isNull())
        return {};
    const QImage source = face.convertToFormat(QImage::Format_RGB32);
    const QRgb background = source.pixel(0, 0);
    const int w = source.width(), h = source.height();
    auto inShape = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && source.pixel(x, y) != background;
    };
    QImage result = source;
    // The mask painted three times: the highlight one pixel down and right,
    // the shadow one pixel up and left, then the background on the shape.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (inShape(x, y))
                result.setPixel(x, y, background);
            else if (inShape(x + 1, y + 1))
                result.setPixel(x, y, shadow.rgb());
            else if (inShape(x - 1, y - 1))
                result.setPixel(x, y, highlight.rgb());
        }
    }
    return result;
}

void CBitmapPushButton::Draw(QPainter& p, const QRect& item, bool pressed, bool disabled, bool focused)
{
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    Box r{item.left(), item.top(), item.left() + item.width() - 1, item.top() + item.height() - 1};

    // Black outline, then the light-grey face inside it.
    Pixels(p, r.left, r.top, r.right, r.top, Qt::black);
    Pixels(p, r.left, r.bottom, r.right, r.bottom, Qt::black);
    Pixels(p, r.left, r.top, r.left, r.bottom, Qt::black);
    Pixels(p, r.right, r.top, r.right, r.bottom, Qt::black);
    r.Shrink(1);
    Pixels(p, r.left, r.top, r.right, r.bottom, kFace);

    if (!pressed) {
        Frame(p, r, highlight, shadow);
        r.Shrink(1);
        Frame(p, r, highlight, shadow);
    } else {
        Frame(p, r, shadow, shadow);
        r.Shrink(1);
        Pixels(p, r.left, r.top, r.left, r.bottom - 1, shadow);
        Pixels(p, r.left, r.top, r.right - 1, r.top, shadow);
    }

    if (!m_bmpFace.isNull()) {
        if (!disabled) {
            const int shift = pressed ? 1 : 0;
            p.drawImage(item.left() + m_nOffsetX + shift, item.top() + m_nOffsetY + shift, m_bmpFace);
        } else {
            p.drawImage(item.left() + m_nOffsetX, item.top() + m_nOffsetY, DisabledImage());
        }
    }

    if (focused && !disabled) {
        r.Shrink(2);
        if (pressed)
            r.left += 1, r.top += 1, r.right += 1, r.bottom += 1;
        // Grown by one on the right and bottom: the exclusive rectangle.
        FocusRect(p, r.left, r.top, r.right + 1, r.bottom + 1);
    }
}

void CBitmapPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Draw(painter, rect(), isDown(), !isEnabled(), hasFocus());
}

} // namespace oskel::qt
