// SPDX-License-Identifier: MIT
// Mouse clicks: which of the panel's three clickable labels is under a
// point of the window, and running its handler.
#pragma once

#include "scene/game.h"

namespace plat {

enum class PanelLabel { None, Exit, Controls, Credits };  // Label4, Label5, Label6

// The clickable label shown at window pixel (x, y): only where the panel
// shows it (inside the panel and the window) and nothing drawn later covers it.
PanelLabel labelAt(hvezda::Scene& scene, int x, int y);

// Runs the label's click handler; false for None.
bool clickLabel(hvezda::Game& g, PanelLabel label);

}  // namespace plat
