// SPDX-License-Identifier: MIT
// What a desktop knows the game by: the window class (and, on Wayland, the
// app id) "hvezda", which the desktop entry names as its StartupWMClass, and
// a window icon made from the game's own ship.
#pragma once

#include "draw/pictures.h"

struct SDL_Window;

namespace platform {

using namespace ::draw;

// Before SDL's video starts, which is when SDL reads the class. A class the
// user set in the environment is kept.
void nameGameForDesktop();

// The ship picture on a square, its black background made transparent.
void setGameWindowIcon(SDL_Window* window, const PictureSource& pictures);

}  // namespace platform
