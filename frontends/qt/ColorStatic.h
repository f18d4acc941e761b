#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>

namespace oskel::qt {

// A static text with its own background and text colours (the main
// dialog's information panel). The colours start as the desktop's button
// face and button text and stay as set by SetColors whatever the desktop's
// colours do afterwards.
class CColorStatic : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);

    // transparent: the text is drawn straight onto the background (Qt draws
    // text that way in any case; the flag is kept for the callers' sake).
    void SetColors(const QColor& back, const QColor& text, bool transparent);

    QColor BackColor() const { return m_crBack; }
    QColor TextColor() const { return m_crText; }
    bool IsTransparent() const { return m_bTransparent; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyTextColour();

    QColor m_crBack;
    QColor m_crText;
    bool m_bTransparent = false;
};

// The colour of a classic COLORREF (0x00BBGGRR).
QColor FromColorRef(uint32_t colorRef);

} // namespace oskel::qt
