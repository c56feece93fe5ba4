// SPDX-License-Identifier: MIT
// SDL wakes its event wait on X11 by sending a message to its newest window
// over a second connection to the X server. Nothing orders that connection
// with the first one, on which the windows are destroyed, and SDL waits for
// the second one only when SDL_Quit closes it, after every window is gone. A
// wake-up sent just before the game closes its windows (the EXIT click's own
// one) may therefore reach the server after its window has gone, whatever
// the order of destruction, and Xlib's default handler makes that error fatal
// when the connection closes: a status 1 after a clean EXIT.
//
// A message to a window that no longer exists has nobody left to wake, so
// from here on that one error (BadWindow from SendEvent) is ignored; every
// other X error still goes to Xlib's default handler. Must run before SDL
// opens the display, as SDL hands errors on to the handler it found then and
// puts that one back before it closes its connections. Does nothing in a
// build without X11.
#pragma once

namespace platform {

void ignoreWakeupsToGoneWindows();

}  // namespace platform
