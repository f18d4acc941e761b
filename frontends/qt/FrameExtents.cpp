#include "FrameExtents.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if defined(OSKEL_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#endif

namespace oskel::qt {
namespace {

std::optional<QMargins> g_lastReported;

#if defined(OSKEL_HAVE_XCB)
xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}
#endif

} // namespace

std::optional<QMargins> ReportedFrameExtents(const QWidget& window)
{
#if defined(OSKEL_HAVE_XCB)
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || QGuiApplication::platformName() != QLatin1String("xcb") ||
        window.windowHandle() == nullptr || !window.testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr)
        return std::nullopt;
    static const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    if (extents == XCB_ATOM_NONE)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.windowHandle()->winId());
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    std::optional<QMargins> found;
    if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        // left, right, top, bottom, in the screen's pixels: Qt's coordinates
        // are those divided by its scale factor.
        const double scale = window.devicePixelRatioF() > 0 ? window.devicePixelRatioF() : 1.0;
        auto logical = [scale](uint32_t pixels) { return static_cast<int>(std::lround(pixels / scale)); };
        found = QMargins(logical(v[0]), logical(v[2]), logical(v[1]), logical(v[3]));
        g_lastReported = found;
    }
    std::free(reply);
    return found;
#else
    (void)window;
    return std::nullopt;
#endif
}

QMargins FrameExtents(const QWidget& window)
{
    if (const std::optional<QMargins> reported = ReportedFrameExtents(window))
        return *reported;
    if (g_lastReported)
        return *g_lastReported;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && window.isWindow() &&
        window.frameGeometry() == window.geometry()) {
        // Not framed yet, and no frame seen: a title bar of about two lines
        // of text and thin borders, until the window manager tells.
        const int line = window.fontMetrics().height();
        return {line / 4, 2 * line, line / 4, line / 4};
    }
    const QRect frame = window.frameGeometry(), client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

QRect FrameRect(const QWidget& window)
{
    return window.geometry().marginsAdded(FrameExtents(window));
}

void MoveFrameTo(QWidget& window, QPoint topLeft)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        window.move(topLeft); // the platform knows its frames, or has none
        return;
    }
    const QMargins frame = FrameExtents(window);
    window.setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window.size()));
}

} // namespace oskel::qt
