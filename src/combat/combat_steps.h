// SPDX-License-Identifier: MIT
// The steps of the combat tick, in the files that hold them. Timer4_Timer
// runs them in a fixed order (combat_tick.cpp).
#pragma once

#include "scene/game.h"

namespace hvezda {

// spacing.cpp
void spaceCraft(Game& g);
// hits.cpp
void enemyShotsOnShip(Game& g);
void playerShotsOnCraft(Game& g);
// explosions.cpp
void craftExplosions(Game& g);
void shipDestruction(Game& g);
void statusLine(Game& g);

}  // namespace hvezda
