// SPDX-License-Identifier: MIT
// What the hall of fame looks like over the stopped game: the frame dimmed,
// a black panel with the game's green rule, "SÍŇ SLÁVY", the best games of
// all time on the left and today's best daily flights beside them, one row a
// place, the newest entry on a dark-blue bar in green.
#pragma once

#include <string>
#include <vector>

#include "platform/fonts.h"

struct SDL_Renderer;

namespace plat {

struct HallRow {
    std::string place, name, score, ending, time, date;
    std::string mark;  // "*" luck the recording chose, "D" a daily flight, else empty
};

struct HallBoard {
    std::vector<HallRow> best, daily;  // of all time; today's daily flights
    int bestMarked = -1, dailyMarked = -1;  // the rows of the newest entry, -1 for none
    std::string date;  // today's, YYYY-MM-DD
};

// Draws over the scene already drawn into the renderer (logical pixels).
void drawHallOverlay(SDL_Renderer* renderer, FontCache& fonts, const HallBoard& board);

}  // namespace plat
