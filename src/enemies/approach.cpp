// SPDX-License-Identifier: MIT
#include "enemies/enemy_steps.h"
#include "scene/score.h"

namespace hvezda {

void bossTrigger(Game& g) {
    // Exactly 1000 is not enough; the first score above it calls the boss.
    if (scoreValue(g.scene) > kBossCallScore) g.state.bossApproach = flags::yes;
}

void bossApproachStep(Game& g) {
    Scene& s = g.scene;
    // The height is tested before the move, so the boss fights at 2720.
    if (s.enemyboss.Top > 2700) {
        enable(g, s.Timerboss);
        disable(g, s.Timer3);
        for (Sprite& shot : s.enemyfire) shot.Visible = false;
        s.Image3.Visible = true;
    } else {
        s.enemyboss.Top = s.enemyboss.Top + 20;
    }
}

}  // namespace hvezda
