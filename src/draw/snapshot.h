// SPDX-License-Identifier: MIT
// The scene as a 667 x 570 PNG, drawn by the game's own drawing code with a
// software renderer: the driver's `screenshot` and the game's F12 key both
// come here, so their pixels are the same. No window, no display.
#pragma once

#include <ctime>
#include <string>

#include "draw/fonts.h"
#include "scene/scene.h"

namespace draw {

// Writes the PNG; the error, or empty.
std::string saveScenePng(hvezda::Scene& scene, FontCache& fonts, const std::string& file);

// hvezda-YYYY-MM-DD-HHMMSS.png in `folder`, at local time `when`, with -2,
// -3... added when a picture of that name is there already.
std::string screenshotFile(const std::string& folder, std::time_t when);

// The screenshot key: the scene into a new file in `folder` (the player's
// pictures). Returns the line to tell the player (where it went, or why not).
std::string takeScreenshot(hvezda::Scene& scene, FontCache& fonts, const std::string& folder, std::time_t when);

}  // namespace draw
