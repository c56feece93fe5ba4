// SPDX-License-Identifier: MIT
#include "enemies/enemies.h"
#include "enemies/enemy_steps.h"
#include "scene/motion.h"

namespace hvezda {

void Timer3_Timer(Game& g) {
    // Shots are parked at their craft before the craft fall, and respawns come
    // last: the combat tick and the flight tick count on this order.
    bossTrigger(g);
    retireEnemyShots(g.scene);
    parkOrAdvanceEnemyShots(g);
    advancePlayerShots(g.scene);
    scrollStars(g.scene);
    ramTests(g);
    shieldExhaustionTest(g);
    craftFall(g);
    if (g.state.bossApproach == flags::yes) {
        bossApproachStep(g);  // no craft comes back once the boss is on its way
        return;
    }
    respawnChecks(g);
}

}  // namespace hvezda
