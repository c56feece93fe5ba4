// SPDX-License-Identifier: MIT
#include "boss/boss.h"

#include "boss/boss_steps.h"
#include "scene/motion.h"

namespace hvezda {

namespace {

// The boss's sweep. QUIRK(boss-turns-past-the-edge): both turning tests read Left back after the move and are
// strict, so it turns at 6040 and 960, not at 6000 and 1000. Only the exact
// text "right" heads right; anything else, an empty text included, heads left.
void moveBoss(Scene& s, GameState& st) {
    Sprite& boss = s.enemyboss;
    if (st.bossDirection == flags::bossRight) {
        boss.Left = boss.Left + 40;
        if (boss.Left > 6000) st.bossDirection = flags::bossLeft;
    } else {
        boss.Left = boss.Left - 40;
        if (boss.Left < 1000) st.bossDirection = flags::bossRight;
    }
}

}  // namespace

// QUIRK(play-after-the-end): no step ends the tick early, and every step runs in every phase: after the
// end of the game the boss, its shots, the player's shots and the stars still move.
void Timerboss_Timer(Game& g) {
    Scene& s = g.scene;
    moveBoss(s, g.state);
    bossShieldTest(g);
    bossEnergyTest(g);
    dropBossShots(s);
    retireEnemyShots(s);
    moveBossShots(s);
    advancePlayerShots(s);
    scrollStars(s);
    strikeBoss(s);
}

}  // namespace hvezda
