// SPDX-License-Identifier: MIT
#include "combat/combat_steps.h"
#include "enemies/craft.h"

namespace hvezda {

void enemyShotsOnShip(Game& g) {
    Scene& s = g.scene;
    // QUIRK(hidden-ship-still-hit): the ship's own visibility is not asked: a shot still costs shield when
    // it meets the box of a ship that has just gone.
    for (Sprite& shot : s.enemyfire) {
        if (shot.Visible && boxesOverlap(shot, s.Picture1)) {
            shot.Visible = false;
            s.energy.Top = s.energy.Top + 360;
        }
    }
}

void playerShotsOnCraft(Game& g) {
    // A struck shot is hidden at once, so it destroys at most one craft: the
    // first in the order 1, 2, 3, 4 that it overlaps. A craft in mid-explosion
    // still absorbs shots.
    for (Sprite& shot : g.scene.fire) {
        for (int n = 1; n <= kCraftCount; ++n) {
            Craft c = craft(g, n);
            if (shot.Visible && c.sprite.Visible && boxesOverlap(shot, c.sprite)) {
                shot.Visible = false;
                c.destroyed = flags::yes;
            }
        }
    }
}

}  // namespace hvezda
