// SPDX-License-Identifier: MIT
#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "draw/geometry.h"
#include "platform/identity.h"
#include "platform/x11_wakeups.h"

namespace platform {

using namespace ::draw;

bool isRealDisplay(const char* current, const char* requested) {
    if (!current) return false;
    if (std::strcmp(current, "offscreen") != 0 && std::strcmp(current, "dummy") != 0) return true;
    if (!requested) return false;
    // SDL_VIDEODRIVER may list several drivers separated by commas.
    std::istringstream list(requested);
    std::string name;
    while (std::getline(list, name, ','))
        if (name == current) return true;
    return false;
}

bool hasGraphicsDevice() {
#ifdef _WIN32
    return true;  // Windows draws through Direct3D, on a device or its own fallback
#else
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/dev/dri", ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("card", 0) == 0 || name.rfind("renderD", 0) == 0) return true;
    }
    return fs::exists("/dev/nvidia0", ec);
#endif
}

int scaleFactor(int usableWidth, int usableHeight, float dpi) {
    int factor = usableHeight / 1080;
    if (dpi > 0) factor = std::max(factor, static_cast<int>(dpi / 96.0f));
    factor = std::max(factor, 1);
    while (factor > 1 && (kWindowWidth * factor > usableWidth || kWindowHeight * factor > usableHeight)) --factor;
    return factor;
}

std::optional<GameWindow> openGameWindow(std::string& error, const WindowOptions& options) {
    // Outside a Wayland session, probing Wayland only prints noise on standard
    // error before the one line that says there is no display.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    if (!SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm,offscreen");
#endif
    nameGameForDesktop();
    ignoreWakeupsToGoneWindows();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a display: ") + SDL_GetError();
        return std::nullopt;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!isRealDisplay(driver, SDL_getenv("SDL_VIDEODRIVER"))) {
        const char* display = SDL_getenv("DISPLAY");
        error = display && *display ? std::string("no display to open a window on: cannot reach DISPLAY=") + display
                                    : std::string("no display to open a window on (DISPLAY is not set)");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return std::nullopt;
    }

    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) SDL_GetDisplayBounds(0, &usable);
    float dpi = -1;
    if (SDL_GetDisplayDPI(0, nullptr, nullptr, &dpi) != 0) dpi = -1;
    GameWindow w;
    w.scale = usable.h > 0 ? scaleFactor(usable.w, usable.h, dpi) : 1;
    if (options.scale > 0) {
        // As asked, as far as the display holds it.
        SDL_Rect whole{0, 0, 0, 0};
        const bool known = SDL_GetDisplayBounds(0, &whole) == 0 && whole.w > 0;
        w.scale = options.scale;
        while (known && w.scale > 1 && (kWindowWidth * w.scale > whole.w || kWindowHeight * w.scale > whole.h))
            --w.scale;
        if (w.scale != options.scale)
            w.warning = "scale " + std::to_string(options.scale) + " does not fit the display; using " +
                        std::to_string(w.scale);
    }

    Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    w.window = SDL_CreateWindow("Form1", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowWidth * w.scale,
                                kWindowHeight * w.scale, flags);
    if (!w.window) {
        error = std::string("cannot open the game window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return std::nullopt;
    }
    setGameWindowIcon(w.window, embeddedPictures());
    // Every tick is followed by a frame; waiting for the vertical blank would
    // hold the ticks back, so no vsync unless the player asks for it (the
    // loop then times its frames around the ticks).
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, options.vsync ? "1" : "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Without a graphics device OpenGL could only be a software rasteriser:
    // slower at our small frames than SDL's own drawing straight into the
    // window, and it loads a whole compiler into the game. SDL_RENDER_DRIVER
    // still picks the renderer when it is set.
    if (!SDL_getenv("SDL_RENDER_DRIVER") && !hasGraphicsDevice()) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
    if (!w.renderer) {
        error = std::string("cannot draw into the game window: ") + SDL_GetError();
        SDL_DestroyWindow(w.window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return std::nullopt;
    }
    SDL_RenderSetLogicalSize(w.renderer, kWindowWidth, kWindowHeight);
    SDL_RenderSetIntegerScale(w.renderer, SDL_TRUE);
    w.id = SDL_GetWindowID(w.window);
    if (options.vsync) {
        SDL_RendererInfo info{};
        w.presentWaits = SDL_GetRendererInfo(w.renderer, &info) != 0 || !(info.flags & SDL_RENDERER_SOFTWARE);
        if (!w.presentWaits) SDL_RenderSetVSync(w.renderer, 0);
        SDL_DisplayMode mode{};
        const int hz = SDL_GetWindowDisplayMode(w.window, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        w.refreshNs = 1'000'000'000 / hz;
    }
    return w;
}

bool isFullscreen(const GameWindow& w) {
    return (SDL_GetWindowFlags(w.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

bool setFullscreen(GameWindow& w, bool on) {
    SDL_SetWindowFullscreen(w.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    return isFullscreen(w);
}

void PointerHider::moved(int64_t nowNs) {
    lastMotion_ = nowNs;
    if (hidden_) SDL_ShowCursor(SDL_ENABLE);
    hidden_ = false;
}

void PointerHider::update(int64_t nowNs, bool fullscreen) {
    const bool hide = fullscreen && nowNs - lastMotion_ >= 2'000'000'000;
    if (hide == hidden_) return;
    SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
    hidden_ = hide;
}

void closeGameWindow(GameWindow& w) {
    if (w.renderer) SDL_DestroyRenderer(w.renderer);
    if (w.window) SDL_DestroyWindow(w.window);
    w.renderer = nullptr;
    w.window = nullptr;
}

uint32_t openHiddenWindow(const char* title, SDL_Window** out) {
    SDL_Window* win = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                       SDL_WINDOW_HIDDEN);
    if (out) *out = win;
    return win ? SDL_GetWindowID(win) : 0;
}

}  // namespace platform
