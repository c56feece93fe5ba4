// The game window's pixels as the X server holds them (kept apart from the
// scene's headers: X11 has a type called Font).
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

// The window's pixels as 0xRRGGBB, row by row; false when they cannot be read.
bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height);
