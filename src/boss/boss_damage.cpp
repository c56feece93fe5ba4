// SPDX-License-Identifier: MIT
#include <optional>
#include <string_view>

#include "boss/boss_steps.h"
#include "scene/explosion.h"
#include "scene/score.h"

namespace hvezda {

namespace {

// Both energies use the same limit: a bar whose Top has passed 2040. For the
// boss that is the 103rd strike (the 102nd leaves the bar at exactly 2040).
constexpr float kUsedUp = 2040;

// QUIRK(six-shots-hurt-the-boss): only the first six of the twelve shot slots can hurt the boss; a shot in
// fire(6) to fire(11) flies over it untouched.
constexpr size_t kShotsThatHurtBoss = 6;

// One explosion picture per boss tick; hidden on the fourth tick with 12
// points, the ship as well as the boss. The counter is never reset and runs
// on past 4 without effect.
void explode(Scene& s, Sprite& sprite, Counter& step) {
    if (explosionStep(s, sprite, step)) addToScore(s, kKillPoints);
}

// What both tests do once their energy is used up, again on every later tick:
// the banner shows (with a new caption, when one is given), its fade starts,
// and Timer1 to Timer4 stop, in that order.
void endTheFight(Game& g, std::optional<std::string_view> caption) {
    Scene& s = g.scene;
    s.Label3.Visible = true;
    enable(g, s.Timer5);
    if (caption) s.Label3.Caption = *caption;
    disable(g, s.Timer1);
    disable(g, s.Timer2);
    disable(g, s.Timer3);
    disable(g, s.Timer4);
}

}  // namespace

// Runs on every tick whatever the phase, so a bar already past the limit at
// the first boss tick ends the game on that tick. Key preview is left on.
void bossShieldTest(Game& g) {
    Scene& s = g.scene;
    if (!(s.energy.Top > kUsedUp)) return;
    explode(s, s.Picture1, g.state.playerExplosionStep);
    endTheFight(g, captions::gameOver);
}

// Leaves the banner's caption alone: it reads "WINNER" as loaded unless the
// shield test has written "GAME OVER" first, and then it keeps that.
void bossEnergyTest(Game& g) {
    Scene& s = g.scene;
    if (!(s.bossenergy.Top > kUsedUp)) return;
    explode(s, s.enemyboss, g.state.bossExplosionStep);
    endTheFight(g, std::nullopt);
}

void strikeBoss(Scene& s) {
    for (size_t i = 0; i < kShotsThatHurtBoss; ++i) {
        Sprite& shot = s.fire[i];
        if (shot.Visible && s.enemyboss.Visible && boxesOverlap(shot, s.enemyboss)) {
            shot.Visible = false;
            s.bossenergy.Top = s.bossenergy.Top + 60;
        }
    }
}

}  // namespace hvezda
