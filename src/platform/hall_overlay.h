// SPDX-License-Identifier: MIT
// What the hall of fame looks like over the stopped game: the frame dimmed,
// a black panel with the game's green rule, "SÍŇ SLÁVY", and one row a place,
// the newest entry on a dark-blue bar in green.
#pragma once

#include <string>
#include <vector>

#include "draw/fonts.h"

struct SDL_Renderer;

namespace platform {

using namespace ::draw;

struct HallRow {
    std::string place, name, score, ending, time, date;
};

// Draws over the scene already drawn into the renderer (logical pixels).
// `highlight`: the row to mark, -1 for none.
void drawHallOverlay(SDL_Renderer* renderer, FontCache& fonts, const std::vector<HallRow>& rows, int highlight);

}  // namespace platform
