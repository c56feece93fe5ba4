// SPDX-License-Identifier: MIT
// The game window: one borderless window, centred, 667 x 570 logical pixels,
// scaled by a whole factor (on high-resolution displays, or as asked), or
// fullscreen with the scene at the largest whole factor that fits, centred
// on black.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct SDL_Window;
struct SDL_Renderer;

namespace platform {

// Whether the video driver SDL ended up with shows anything. Without a
// display SDL quietly falls back to drivers that draw nowhere; those count
// only when SDL_VIDEODRIVER asked for them by name.
bool isRealDisplay(const char* currentDriver, const char* requestedDrivers);

// The whole factor that keeps the window about the size it has on a ~96 DPI
// screen: 2 on a 4K monitor. Taken from the usable display height (1080 rows
// per step) or from the DPI when the system reports one (dpi <= 0: unknown),
// whichever is larger, and never so large that the window leaves the display.
int scaleFactor(int usableWidth, int usableHeight, float dpi);

struct WindowOptions {
    int scale = 0;  // the window's factor; 0: scaleFactor's choice
    bool fullscreen = false;
    bool vsync = false;
};

struct GameWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    uint32_t id = 0;
    int scale = 1;
    int64_t refreshNs = 0;  // with vsync: the display's refresh period; else 0
    // With vsync: whether a present waits for the display. SDL's software
    // renderer cannot (its vsync is only a sleep after the frame has gone),
    // so there the game paces its frames itself and SDL does not sleep.
    bool presentWaits = false;
    std::string warning;    // what could not be had as asked (one line), if anything
};

// Starts SDL's video and opens the game window, still hidden, with its
// renderer (logical size, integer scaling, nearest sampling).
// On failure returns nothing and says why in `error`, one line.
std::optional<GameWindow> openGameWindow(std::string& error, const WindowOptions& options = {});
void closeGameWindow(GameWindow& w);

// Fullscreen on the desktop's own resolution (no mode change), or back to
// the window. Returns whether it is fullscreen now.
bool isFullscreen(const GameWindow& w);
bool setFullscreen(GameWindow& w, bool on);

// In fullscreen the mouse pointer hides after two seconds without motion.
class PointerHider {
public:
    void moved(int64_t nowNs);
    void update(int64_t nowNs, bool fullscreen);

private:
    int64_t lastMotion_ = 0;
    bool hidden_ = false;
};

// A hidden extra window (Form2's): its window ID, 0 when it cannot be made.
uint32_t openHiddenWindow(const char* title, SDL_Window** out);

}  // namespace platform
