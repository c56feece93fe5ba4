// SPDX-License-Identifier: MIT
#include "combat/combat.h"
#include "combat/combat_steps.h"

namespace hvezda {

void Timer4_Timer(Game& g) {
    // Each step sees what the earlier ones did: a craft struck in this tick
    // shows its first explosion picture in this tick, and the tick that hides
    // the ship also writes "GAME OVER".
    spaceCraft(g);
    enemyShotsOnShip(g);
    playerShotsOnCraft(g);
    craftExplosions(g);
    shipDestruction(g);
    statusLine(g);
}

}  // namespace hvezda
