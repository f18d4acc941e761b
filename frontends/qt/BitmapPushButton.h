#pragma once

#include <QImage>
#include <QPushButton>

class QPainter;

namespace oskel::qt {

// An owner-drawn push button showing a bitmap instead of its caption (the
// UPLOAD button), with its own raised, pressed, focused and disabled looks.
// The template builder makes one for every BS_OWNERDRAW button; AutoLoad
// then gives it its bitmap. The caption still names the button and its
// mnemonic ("&UPLOAD" answers Alt+U) but is never drawn.
class CBitmapPushButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kBorder = 3;

    explicit CBitmapPushButton(QWidget* parent = nullptr);

    // This button must be parent's control id: loads the bitmap named by the
    // caption followed by "U" and sizes the button to it (relayout: see
    // SizeToContent). Returns 0 when this is not that control or the bitmap
    // does not exist; the button then keeps its size and draws no face.
    int AutoLoad(int id, QWidget* parent, bool relayout);

    // Loads the named bitmap resource; discards the disabled image.
    bool LoadBitmap(const QString& name);
    void SetBitmap(const QImage& face);

    // Makes the button the bitmap's size plus 3 pixels on each side, without
    // moving it. With relayout, the parent grows by the change of the
    // button's right and bottom edges, and every other child edge that lies
    // right of (below) the smaller of the old and new right (bottom) edges
    // moves by the same amount: controls beyond the button shift, controls
    // spanning its edge stretch.
    void SizeToContent(bool relayout);

    // Draws the button into item (the widget's rectangle) on painter.
    virtual void Draw(QPainter& painter, const QRect& item, bool pressed, bool disabled, bool focused);

    const QImage& Face() const { return m_bmpFace; }
    // Made on first need from the face: the shape flattened to the face's
    // top-left colour, a highlight edge below and right, a shadow edge
    // above and left.
    const QImage& DisabledImage();
    int OffsetX() const { return m_nOffsetX; }
    int OffsetY() const { return m_nOffsetY; }

    static QImage MakeDisabledImage(const QImage& face, const QColor& highlight, const QColor& shadow);

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QImage m_bmpFace;
    QImage m_bmpDisabled;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
};

} // namespace oskel::qt
