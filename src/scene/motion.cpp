// SPDX-License-Identifier: MIT
#include "scene/motion.h"

#include <array>

namespace hvezda {

void advancePlayerShots(Scene& s) {
    for (Sprite& shot : s.fire) {
        if (!shot.Visible) continue;
        if (shot.Top < kPanelLine) shot.Visible = false;
        shot.Top = shot.Top - 300;
    }
}

void scrollStars(Scene& s) {
    struct Fall {
        int index;
        float step;
    };
    // QUIRK(still-star): hvezda1(4) is left out on purpose: that star never moves.
    static constexpr std::array<Fall, 9> kFalls{
        {{0, 150}, {3, 100}, {2, 170}, {1, 170}, {12, 100}, {8, 100}, {10, 100}, {7, 100}, {11, 100}}};
    for (const Fall& f : kFalls) {
        Star& star = s.hvezda1[f.index];
        star.Top = star.Top + f.step;
        if (star.Top > s.Form1.Height) star.Top = 0;
    }
}

void retireEnemyShots(Scene& s) {
    // QUIRK(shots-fall-to-the-width): the window's width, not its height, on purpose: a shot falls on unseen
    // below the playfield until its top passes 10005.
    for (Sprite& shot : s.enemyfire)
        if (shot.Top > s.Form1.Width) shot.Visible = false;
}

}  // namespace hvezda
