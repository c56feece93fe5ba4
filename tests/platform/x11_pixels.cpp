#include "x11_pixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace {

bool x11(SDL_Window* window, Display*& display, Window& xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}

}  // namespace

bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height) {
    Display* d = nullptr;
    Window w = 0;
    XWindowAttributes a;
    if (!x11(window, d, w) || !XGetWindowAttributes(d, w, &a)) return false;
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes,
                              ZPixmap);
    if (!image) return false;
    // A 24-bit TrueColor visual, as Xvfb's and every desktop's today.
    const bool rgb = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                     image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    if (rgb) {
        width = a.width;
        height = a.height;
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y * width + x)] = row[x] & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    return rgb;
}

void spoilWindow(SDL_Window* window, int x, int y, int w, int h, uint32_t rgb) {
    Display* d = nullptr;
    Window xw = 0;
    if (!x11(window, d, xw)) return;
    GC gc = XCreateGC(d, xw, 0, nullptr);
    XSetForeground(d, gc, rgb);
    XFillRectangle(d, xw, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFreeGC(d, gc);
    XSync(d, False);
}
