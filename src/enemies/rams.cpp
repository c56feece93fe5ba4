// SPDX-License-Identifier: MIT
#include "enemies/craft.h"
#include "enemies/enemy_steps.h"

namespace hvezda {

void ramTests(Game& g) {
    Scene& s = g.scene;
    // Every tick of an overlap drains again; the ship's own visibility plays no part.
    for (int n = 1; n <= kCraftCount; ++n) {
        Craft c = craft(g, n);
        if (boxesOverlap(s.Picture1, c.sprite) && c.sprite.Visible) {
            s.energy.Top = s.energy.Top + 120;
            c.destroyed = flags::yes;
        }
    }
}

void shieldExhaustionTest(Game& g) {
    const Sprite& bar = g.scene.energy;
    if (bar.Top + bar.Height > 8300) g.state.playerDestroyed = flags::yes;
}

}  // namespace hvezda
