// SPDX-License-Identifier: MIT
// The steps of the boss tick, in the order Timerboss_Timer runs them.
#pragma once

#include "scene/game.h"

namespace hvezda {

// The shield and the boss's energy: once used up, the ship or the boss explodes
// one picture per tick and the game ends (both tests run again on every tick).
void bossShieldTest(Game& g);
void bossEnergyTest(Game& g);

// The boss's four shots (enemyfire(0..3)): dropped onto the ship, falling or
// waiting on the boss (taking them back far below is scene/motion.h's).
void dropBossShots(Scene& s);
void moveBossShots(Scene& s);

// fire(0) to fire(5) against the boss.
void strikeBoss(Scene& s);

}  // namespace hvezda
