// SPDX-License-Identifier: MIT
// What says that a daily flight is being flown: "DENNÍ LET" and its date in
// the panel's green, in the panel's empty stretch right of the score. Drawn
// around the game (the scene knows nothing of it).
#pragma once

#include <string>

#include "platform/fonts.h"

struct SDL_Renderer;

namespace plat {

// "7. 12. 2026" for 2026-12-07, as a Czech reader writes a date; the text
// itself when it is no date.
std::string czechDate(const std::string& isoDate);

// Draws over the scene already drawn into the renderer (logical pixels).
void drawDailyBadge(SDL_Renderer* renderer, FontCache& fonts, const std::string& isoDate);

}  // namespace plat
