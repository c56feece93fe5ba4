// SPDX-License-Identifier: MIT
#include "player/player.h"

#include <algorithm>

#include "enemies/craft.h"

namespace hvezda {

namespace {

// The single refill: 2000 twips of shield, but never above -3960 (the bar
// starts at -4200, so the first refill of a fresh shield still moves it down).
constexpr float kRefill = 2000;
constexpr float kRefillCeiling = -3960;

// The ship's steps per flight tick.
constexpr float kSideStep = 150;
constexpr float kClimbStep = 100;

void spendRefill(Scene& s) {
    if (!s.life.Visible) return;
    s.life.Visible = false;
    s.energy.Top = s.energy.Top - kRefill;
    if (s.energy.Top < kRefillCeiling) s.energy.Top = kRefillCeiling;
}

// QUIRK(shot-index-moves-on): the index moves on at every press, even when the slot is still in flight
// and nothing is launched.
void fireShot(Game& g) {
    Scene& s = g.scene;
    int32_t& index = g.state.shotIndex;
    // Below -1 the ring has no slot either; such a value can only be written
    // from outside, and it starts the ring afresh instead of reaching past it.
    // DEVIATION(shot-index-below-the-ring): the game tested only the top end.
    const int32_t lastSlot = static_cast<int32_t>(s.fire.size()) - 1;
    if (index >= lastSlot || index < -1) index = -1;
    index = index + 1;
    Sprite& shot = s.fire[static_cast<size_t>(index)];
    if (shot.Visible) return;
    shot.Top = s.Picture1.Top;
    shot.Left = s.Picture1.Left + 250;
    shot.Visible = true;
}

}  // namespace

void Form_KeyDown(Game& g, int keyCode, int) {
    // Each test stands alone; the modifier keys change nothing.
    GameState& st = g.state;
    if (keyCode == keys::c) spendRefill(g.scene);
    if (keyCode == keys::x) fireShot(g);
    if (keyCode == keys::up) st.keyUp = flags::up;
    if (keyCode == keys::down) st.keyDown = flags::down;
    if (keyCode == keys::left) st.keyLeft = flags::left;
    if (keyCode == keys::right) st.keyRight = flags::right;
}

void Form_KeyUp(Game& g, int keyCode, int) {
    Scene& s = g.scene;
    GameState& st = g.state;
    // Only the sideways keys straighten the ship; the flight tick banks it again
    // while it still moves sideways.
    if (keyCode == keys::left) {
        st.keyLeft.clear();
        copyPicture(s.Picture1, s.rovne);
    }
    if (keyCode == keys::up) st.keyUp.clear();
    if (keyCode == keys::down) st.keyDown.clear();
    if (keyCode == keys::right) {
        st.keyRight.clear();
        copyPicture(s.Picture1, s.rovne);
    }
}

void Timer1_Timer(Game& g) {
    Scene& s = g.scene;
    const GameState& st = g.state;
    Sprite& ship = s.Picture1;

    // An enemy shot drops once the ship is beneath it and its craft is shown,
    // parked or not; showing a shown shot changes nothing.
    for (int n = 1; n <= kCraftCount; ++n) {
        Craft c = craft(g, n);
        if (spansOverlap(c.shot.Left, c.shot.Width, ship.Left, ship.Width) && c.shot.Top < ship.Top &&
            c.sprite.Visible)
            c.shot.Visible = true;
    }

    // Each block reads the ship afresh, so a later block sees an earlier one's
    // step and the banking picture's size. QUIRK(ship-step-past-the-limit): a
    // limit is tested before the step, so the ship may end one step past it. The window's size is read at each
    // test, not remembered.
    if (st.keyLeft == flags::left && ship.Left >= 200) {
        ship.Left = ship.Left - kSideStep;
        copyPicture(ship, s.leftt);
    }
    if (st.keyRight == flags::right && ship.Left + ship.Width <= s.Form1.Width - 700) {
        ship.Left = ship.Left + kSideStep;
        copyPicture(ship, s.rightt);
    }
    if (st.keyUp == flags::up && ship.Top >= 1500) ship.Top = ship.Top - kClimbStep;
    if (st.keyDown == flags::down && ship.Top + ship.Height <= s.Form1.Height) ship.Top = ship.Top + kClimbStep;
}

void Timer2_Timer(Game& g) {
    Scene& s = g.scene;
    s.Label1.Visible = !s.Label1.Visible;
    // The warning ends once the bar's lower edge is back above the red tick;
    // the line keeps the visibility it was just given.
    if (s.energy.Top + s.energy.Height < kShieldLowLine) {
        disable(g, s.Timer2);
        s.Label1.Caption.clear();
    }
}

void Timer5_Timer(Game& g) {
    // bannerGreen counts on past the ceiling; the banner stays full green.
    // DEVIATION(banner-green-from-zero): below 0, which only a script can
    // write, the banner is black rather than a colour the game never made.
    g.state.bannerGreen = countUp(g.state.bannerGreen, 10);
    const Counter green = std::clamp<Counter>(g.state.bannerGreen, 0, 255);
    g.scene.Label3.ForeColor = static_cast<uint32_t>(green) << 8;
}

}  // namespace hvezda
