// SPDX-License-Identifier: MIT
#include "platform/x11_wakeups.h"

#ifdef HVEZDA_WITH_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace platform {

namespace {

XErrorHandler xlibDefault = nullptr;

int onXError(Display* display, XErrorEvent* e) {
    if (e->error_code == BadWindow && e->request_code == X_SendEvent) return 0;
    return xlibDefault ? xlibDefault(display, e) : 0;
}

}  // namespace

void ignoreWakeupsToGoneWindows() {
    if (xlibDefault) return;
    xlibDefault = XSetErrorHandler(onXError);
}

}  // namespace platform

#else

namespace platform {
void ignoreWakeupsToGoneWindows() {}
}  // namespace platform

#endif
