// SPDX-License-Identifier: MIT
#include "enemies/craft.h"
#include "enemies/enemy_steps.h"
#include "scene/motion.h"

namespace hvezda {

void parkOrAdvanceEnemyShots(Game& g) {
    // A hidden shot rides with its craft, shown or not; a shown one falls.
    for (int n = 1; n <= kCraftCount; ++n) {
        Craft c = craft(g, n);
        if (!c.shot.Visible) {
            c.shot.Top = c.sprite.Top + kParkedShotDepth;
            c.shot.Left = c.sprite.Width / 2 + c.sprite.Left;
        } else {
            c.shot.Top = c.shot.Top + kEnemyShotFall;
        }
    }
}

}  // namespace hvezda
