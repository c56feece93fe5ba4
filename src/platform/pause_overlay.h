// SPDX-License-Identifier: MIT
// What a paused game looks like: the frame dimmed, "PAUZA" in the middle.
#pragma once

#include "draw/fonts.h"

struct SDL_Renderer;

namespace platform {

using namespace ::draw;

// Draws over the scene already drawn into the renderer (logical pixels).
void drawPauseOverlay(SDL_Renderer* renderer, FontCache& fonts);

}  // namespace platform
