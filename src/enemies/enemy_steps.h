// SPDX-License-Identifier: MIT
// The steps of the enemy tick, in the files that hold them. Timer3_Timer runs
// them in a fixed order that the other ticks rely on (enemy_tick.cpp).
#pragma once

#include "scene/game.h"

namespace hvezda {

// approach.cpp
void bossTrigger(Game& g);
void bossApproachStep(Game& g);
// enemy_shots.cpp
void parkOrAdvanceEnemyShots(Game& g);
// rams.cpp
void ramTests(Game& g);
void shieldExhaustionTest(Game& g);
// craft.cpp
void craftFall(Game& g);
void respawnChecks(Game& g);

}  // namespace hvezda
