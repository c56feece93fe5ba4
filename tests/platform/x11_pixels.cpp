// SPDX-License-Identifier: MIT
#include "x11_pixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    XWindowAttributes a;
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        !XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &a))
        return false;
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return false;
    // A 24-bit TrueColor visual, as Xvfb's and every desktop's today.
    const bool rgb = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                     image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    if (rgb) {
        width = a.width, height = a.height;
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y * width + x)] = row[x] & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    return rgb;
}

bool wakeAfterClose(SDL_Window* window, const std::function<void()>& close) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* other = XOpenDisplay(nullptr);
    close();
    XSync(info.info.x11.display, False);  // the server has destroyed the window
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.format = 8;
    XSendEvent(other, info.info.x11.window, False, NoEventMask, &e);
    XSync(other, False);  // its BadWindow comes back here
    XCloseDisplay(other);
    return true;
}
