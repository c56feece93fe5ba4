// SPDX-License-Identifier: MIT
// x11-close-window WINDOW: asks a window to close as a desktop's close button does (WM_DELETE_WINDOW).
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* d = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
    if (!d) {
        std::fprintf(stderr, argc == 2 ? "x11-close-window: cannot open the display\n" : "usage: x11-close-window WINDOW\n");
        return argc == 2 ? 1 : 2;
    }
    const Window w = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
