// SPDX-License-Identifier: MIT
// The combat tick (Timer4): craft spacing, enemy shots on the ship, player shots
// on craft, craft explosions and the score, the ship's destruction, the status line.
#pragma once

#include "scene/game.h"

namespace hvezda {

void Timer4_Timer(Game& g);

}  // namespace hvezda
