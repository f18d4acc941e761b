#pragma once

#include "ui/MessageBox.h"

#include <QMessageBox>

#include <memory>

namespace oskel::qt {

// Message boxes as Qt windows: the program's title as caption, the icon and
// the buttons of the classic style bits, the first button the default (the
// second with MB_DEFBUTTON2). Escape answers Cancel where there is one, OK
// in a box with OK alone, and nothing in a Yes/No box, which has no close
// box either.
class QtMessageBox final : public ui::IMessageBox {
public:
    int Show(const std::string& text, unsigned type, unsigned helpId) override;

    // The box Show runs, unshown, owned by parent (or top-level).
    static std::unique_ptr<QMessageBox> Create(const std::string& text, unsigned type, QWidget* parent);
    // The classic result for the button that closed box (IDCANCEL when none).
    static int Result(const QMessageBox& box);
};

// The width a window needs for the window manager to show its whole title.
int TitleRoom(const QWidget& window);
// Makes a message box at least TitleRoom wide.
void KeepRoomForTitle(QMessageBox& box);

} // namespace oskel::qt
