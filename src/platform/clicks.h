// SPDX-License-Identifier: MIT
// Mouse clicks: which of the panel's three clickable labels is under a
// point of the window.
#pragma once

#include "scene/game.h"
#include "shell/shell.h"

namespace platform {

using hvezda::PanelLabel;

// The clickable label shown at window pixel (x, y): only where the panel
// shows it (inside the panel and the window) and nothing drawn later covers it.
PanelLabel labelAt(hvezda::Scene& scene, int x, int y);

}  // namespace platform
