// SPDX-License-Identifier: MIT
// The game window as the X server holds it (kept apart from the game's headers: X11's define Font, None and Bool).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct SDL_Window;

// The window's pixels as 0xRRGGBB, row by row; false when they cannot be read.
bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height);
// Closes the window, then sends its X window a wake-up over a second connection, as SDL's can come at exit.
bool wakeAfterClose(SDL_Window* window, const std::function<void()>& close);
