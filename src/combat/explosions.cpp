#include "combat/combat_steps.h"
#include "enemies/craft.h"
#include "scene/score.h"

namespace {

// Steps 1 to 3 show the three explosion pictures (the auto-sized sprite takes
// each one's size); the caller decides what step 4 does. Equality on purpose:
// a counter past 4 does nothing more.
void showExplosionFrame(Scene& s, Sprite& target, Counter step) {
    if (step == 1) copyPicture(target, s.boom1);
    if (step == 2) copyPicture(target, s.boom2);
    if (step == 3) copyPicture(target, s.boom3);
}

}  // namespace

void craftExplosions(Game& g) {
    Scene& s = g.scene;
    for (int n : {4, 3, 2, 1}) {
        Craft c = craft(g, n);
        if (c.destroyed != "ano") continue;
        c.explosionStep = countUp(c.explosionStep);
        showExplosionFrame(s, c.sprite, c.explosionStep);
        if (c.explosionStep == 4) {
            c.sprite.Visible = false;
            addToScore(s, 12);
            c.destroyed = "ne";
        }
    }
}

void shipDestruction(Game& g) {
    Scene& s = g.scene;
    GameState& st = g.state;
    if (st.playerDestroyed != "ano") return;
    // The flag is never cleared, so the counter runs on past 4 (64 bits: it
    // never wraps back into 1 to 4).
    st.shipExplosionStep = countUp(st.shipExplosionStep);
    showExplosionFrame(s, s.Picture1, st.shipExplosionStep);
    if (st.shipExplosionStep == 4) {
        s.Picture1.Visible = false;
        disable(g, s.Timer1);
        disable(g, s.Timer3);
        s.Form1.KeyPreview = false;
    }
}

void statusLine(Game& g) {
    Scene& s = g.scene;
    // Only a lower edge strictly past the red tick at 7800 counts. The caption
    // is rewritten on every such tick, and enabling a running Timer2 leaves
    // its blink rhythm alone.
    if (!(s.energy.Top + s.energy.Height > 7800)) return;
    if (!s.Timer1.Enabled) {
        s.Label1.Caption = "GAME OVER";
    } else {
        s.Label1.Caption = "WARNING - SHIELD LOW !!";
        enable(g, s.Timer2);
    }
}
