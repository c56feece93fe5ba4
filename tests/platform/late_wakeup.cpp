// SPDX-License-Identifier: MIT
// A wake-up message reaching the X server after its window is gone, as SDL's can at exit, must not
// end the program: one is sent to the game window just destroyed, over a second connection.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <string>

#include "platform/window.h"

int main() {
    std::string why;
    auto w = platform::openGameWindow(why);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!w || !SDL_GetWindowWMInfo(w->window, &info) || info.subsystem != SDL_SYSWM_X11) {
        std::printf("SKIP: %s\n", w ? "not on X11" : why.c_str());
        return 77;
    }
    Display* sdlDisplay = info.info.x11.display;
    const Window gone = info.info.x11.window;
    Display* other = XOpenDisplay(nullptr);
    platform::closeGameWindow(*w);
    XSync(sdlDisplay, False);  // the server has destroyed the window
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.format = 8;
    XSendEvent(other, gone, False, NoEventMask, &e);
    XSync(other, False);  // its BadWindow comes back here
    XCloseDisplay(other);
    SDL_Quit();
    std::printf("ok: a wake-up to a destroyed window changed nothing\n");
    return 0;
}
