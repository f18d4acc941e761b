#pragma once

class QWidget;

namespace oskel::qt {

// The window new dialogs and message boxes belong to: the active window,
// else the first visible top-level window, else null.
QWidget* ActiveOwner();

// Keeps a parentless top-level window above owner's window and centres it
// over it, inside the owner's screen, after sizing it to its contents. The
// window's lifetime and enabled state stay its own whatever becomes of the
// owner (the main window is disabled while the progress window exists).
// With a null owner the window is centred on its screen (the primary one
// for a new window).
void PlaceAbove(QWidget& window, QWidget* owner);

// Centres a window over `owner`, or over its screen when there is none, and
// keeps it on that screen.
void CentreOver(QWidget& window, const QWidget* owner);

} // namespace oskel::qt
