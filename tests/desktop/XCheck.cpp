// oskel-x-check: what the desktop checks ask the X server directly.
//   ping WINDOW MS         sends the window manager's ping (_NET_WM_PING) to
//                          WINDOW; exit 0 when it answers within MS ms
//   cover X Y W H MS       covers the rectangle with a magenta window for MS
//                          ms, then uncovers it (the windows below must
//                          repaint what it hid)
//   close WINDOW           asks the window manager to close WINDOW, as its
//                          close box does
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool WaitForPong(Display* display, Window window, Atom protocols, Atom ping, long stamp, int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const XClientMessageEvent& m = event.xclient;
            if (event.type == ClientMessage && m.message_type == protocols && static_cast<Atom>(m.data.l[0]) == ping &&
                m.data.l[1] == stamp && static_cast<Window>(m.data.l[2]) == window)
                return true;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 20);
    }
    return false;
}

int Ping(Display* display, Window window, int ms)
{
    const Window root = DefaultRootWindow(display);
    // Clients answer to the root window with either mask.
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    const long stamp = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             Clock::now().time_since_epoch()).count() & 0x7fffffff);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    if (WaitForPong(display, window, protocols, ping, stamp, ms))
        return 0;
    std::fprintf(stderr, "oskel-x-check: window 0x%lx did not answer the ping within %d ms\n", window, ms);
    return 1;
}

int Cover(Display* display, int x, int y, int w, int h, int ms)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XColor magenta{};
    XAllocNamedColor(display, DefaultColormap(display, DefaultScreen(display)), "magenta", &magenta, &magenta);
    attributes.background_pixel = magenta.pixel;
    const Window cover = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w),
                                       static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                                       CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    XDestroyWindow(display, cover);
    XSync(display, False);
    return 0;
}

// Asks the window manager to close the window (_NET_CLOSE_WINDOW, as a
// pager or the close box does): the client gets WM_DELETE_WINDOW.
int Close(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2; // from a pager: the user's own request
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XSync(display, False);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "oskel-x-check: no display\n");
        return 2;
    }
    int result = 2;
    if (argc == 4 && std::strcmp(argv[1], "ping") == 0)
        result = Ping(display, std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]));
    else if (argc == 7 && std::strcmp(argv[1], "cover") == 0)
        result = Cover(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                       std::atoi(argv[6]));
    else if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        result = Close(display, std::strtoul(argv[2], nullptr, 0));
    else
        std::fprintf(stderr, "usage: oskel-x-check ping WINDOW MS | cover X Y W H MS | close WINDOW\n");
    XCloseDisplay(display);
    return result;
}
