// SPDX-License-Identifier: MIT
#include "boss/boss_steps.h"
#include "scene/motion.h"

namespace hvezda {

void dropBossShots(Scene& s) {
    const Sprite& ship = s.Picture1;
    // The ship's own visibility is not asked: after the game has ended a shot
    // still drops onto the place where the hidden ship was last.
    for (Sprite& shot : s.enemyfire) {
        if (shot.Top < ship.Top && s.enemyboss.Visible && spansOverlap(shot.Left, shot.Width, ship.Left, ship.Width))
            shot.Visible = true;
    }
}

void moveBossShots(Scene& s) {
    const Sprite& boss = s.enemyboss;
    for (size_t k = 0; k < s.enemyfire.size(); ++k) {
        Sprite& shot = s.enemyfire[k];
        if (shot.Visible) {
            shot.Top = shot.Top + kEnemyShotFall;  // a falling shot never changes its Left
            continue;
        }
        shot.Top = boss.Top + kParkedShotDepth;
        switch (k) {
            case 0: shot.Left = boss.Left + shot.Width; break;  // its own width in from the boss's left edge
            case 1: shot.Left = boss.Left + 700; break;
            case 2: shot.Left = boss.Left + 1500; break;
            default: {
                const float bossRight = boss.Left + boss.Width;  // flush with the boss's right edge
                shot.Left = bossRight - shot.Width;
                break;
            }
        }
    }
}

}  // namespace hvezda
