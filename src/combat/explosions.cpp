// SPDX-License-Identifier: MIT
#include "combat/combat_steps.h"
#include "enemies/craft.h"
#include "scene/explosion.h"
#include "scene/score.h"

namespace hvezda {

void craftExplosions(Game& g) {
    Scene& s = g.scene;
    for (int n : kExplosionOrder) {
        Craft c = craft(g, n);
        if (c.destroyed != flags::yes) continue;
        if (explosionStep(s, c.sprite, c.explosionStep)) {
            addToScore(s, kKillPoints);
            c.destroyed = flags::no;
        }
    }
}

void shipDestruction(Game& g) {
    Scene& s = g.scene;
    GameState& st = g.state;
    if (st.playerDestroyed != flags::yes) return;
    // The flag is never cleared, so the counter runs on past 4 (64 bits: it
    // never wraps back into 1 to 4).
    if (explosionStep(s, s.Picture1, st.shipExplosionStep)) {
        disable(g, s.Timer1);
        disable(g, s.Timer3);
        s.Form1.KeyPreview = false;
    }
}

void statusLine(Game& g) {
    Scene& s = g.scene;
    // Only a lower edge strictly past the red tick counts. The caption
    // is rewritten on every such tick, and enabling a running Timer2 leaves
    // its blink rhythm alone.
    if (!(s.energy.Top + s.energy.Height > kShieldLowLine)) return;
    if (!s.Timer1.Enabled) {
        s.Label1.Caption = captions::gameOver;
    } else {
        s.Label1.Caption = captions::shieldLow;
        enable(g, s.Timer2);
    }
}

}  // namespace hvezda
