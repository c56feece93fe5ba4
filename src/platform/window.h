// The game window: one borderless window, centred, 667 x 570 logical pixels,
// scaled by a whole factor on high-resolution displays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct SDL_Window;
struct SDL_Renderer;

namespace plat {

// Whether the video driver SDL ended up with shows anything. Without a
// display SDL quietly falls back to drivers that draw nowhere; those count
// only when SDL_VIDEODRIVER asked for them by name.
bool isRealDisplay(const char* currentDriver, const char* requestedDrivers);

// The whole factor that keeps the window about the size it has on a ~96 DPI
// screen: 2 on a 4K monitor. Taken from the usable display height (1080 rows
// per step) or from the DPI when the system reports one (dpi <= 0: unknown),
// whichever is larger, and never so large that the window leaves the display.
int scaleFactor(int usableWidth, int usableHeight, float dpi);

struct GameWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    uint32_t id = 0;
    int scale = 1;
};

// Starts SDL's video and opens the game window, still hidden, with its
// renderer (vsync off, logical size, integer scaling, nearest sampling).
// On failure returns nothing and says why in `error`, one line.
std::optional<GameWindow> openGameWindow(std::string& error);
void closeGameWindow(GameWindow& w);

// A hidden extra window (Form2's): its window ID, 0 when it cannot be made.
uint32_t openHiddenWindow(const char* title, SDL_Window** out);

}  // namespace plat
