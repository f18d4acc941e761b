#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

namespace oskel::qt {

// The frame the window manager draws around a top-level window, as it
// reports it (_NET_FRAME_EXTENTS on X11), or nullopt while it has not (not
// yet framed, or a platform where windows do not learn their frame).
std::optional<QMargins> ReportedFrameExtents(const QWidget& window);

// The frame a window has or will have: the reported one, else the last one
// reported for any window of this program, else Qt's own idea of it.
QMargins FrameExtents(const QWidget& window);

// The window's frame on the screen: its client rectangle grown by
// FrameExtents.
QRect FrameRect(const QWidget& window);

// Places the window so that its frame's top-left corner is at topLeft. On
// X11 the client is positioned itself, so the place does not depend on how
// the window manager reads a frame position; elsewhere Qt places the frame.
void MoveFrameTo(QWidget& window, QPoint topLeft);

} // namespace oskel::qt
