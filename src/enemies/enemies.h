// SPDX-License-Identifier: MIT
// The enemy tick (Timer3): the craft, their shots, rams, the boss's approach,
// and the motions it shares with the boss tick (scene/motion.h).
#pragma once

#include "scene/game.h"

namespace hvezda {

void Timer3_Timer(Game& g);

}  // namespace hvezda
