// SPDX-License-Identifier: MIT
// The keyboard and the ticks that belong to the player: the ship's flight with
// the enemy firing rule (Timer1), the status line's blink (Timer2) and the end
// banner's fade (Timer5).
// The shots' climb is in scene/motion.h: the enemy and the boss tick both run it.
#pragma once

#include "scene/game.h"

namespace hvezda {

// Virtual-key codes the game reacts to.
namespace keys {
inline constexpr int left = 37;
inline constexpr int up = 38;
inline constexpr int right = 39;
inline constexpr int down = 40;
inline constexpr int c = 67;
inline constexpr int x = 88;
}  // namespace keys

void Form_KeyDown(Game& g, int keyCode, int shiftState);
void Form_KeyUp(Game& g, int keyCode, int shiftState);
void Timer1_Timer(Game& g);
void Timer2_Timer(Game& g);
void Timer5_Timer(Game& g);

}  // namespace hvezda
