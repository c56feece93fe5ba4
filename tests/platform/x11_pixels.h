// SPDX-License-Identifier: MIT
// The game window's pixels as the X server holds them (kept apart from the
// game's headers: X11's own define Font, None and Bool).
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

// The window's pixels as 0xRRGGBB, row by row; false when they cannot be read.
bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height);
