// SPDX-License-Identifier: MIT
// The boss tick (Timerboss): the boss's sweep, both energies, its shots, the
// player's shots and the stars, and strikes on the boss.
#pragma once

#include "scene/game.h"

namespace hvezda {

void Timerboss_Timer(Game& g);

}  // namespace hvezda
