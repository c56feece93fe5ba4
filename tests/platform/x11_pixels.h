// The game window as the X server holds it, read and spoiled behind SDL's
// back (kept apart from the scene's headers: X11 has a type called Font).
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

// The window's pixels as 0xRRGGBB, row by row; false when they cannot be read.
bool readWindowPixels(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height);
// Paints a rectangle straight into the window on the server, as a desktop
// leaves stale contents behind.
void spoilWindow(SDL_Window* window, int x, int y, int w, int h, uint32_t rgb);
