// SPDX-License-Identifier: MIT
// Plain motions that both the enemy tick (Timer3) and the boss tick
// (Timerboss) perform, so they sit below both: the climb of the player's
// shots, the fall of the stars, and taking back enemy shots far below.
#pragma once

#include "scene/scene.h"

namespace hvezda {

// An enemy shot (a craft's or the boss's) falls this far on each tick of the
// enemy or boss tick; a waiting one rides this far below its craft or the boss.
inline constexpr float kEnemyShotFall = 300;
inline constexpr float kParkedShotDepth = 500;

// Every shown player shot climbs 300; one already above the panel's line is
// hidden first (and still climbs on that step).
void advancePlayerShots(Scene& s);
// The stars fall by their own steps and wrap to the top once below the window.
void scrollStars(Scene& s);
// An enemy shot (a craft's or the boss's) is hidden once far below the window.
void retireEnemyShots(Scene& s);

}  // namespace hvezda
