// SPDX-License-Identifier: MIT
// The explosion sequence the craft, the ship and the boss share.
#pragma once

#include "scene/scene.h"
#include "scene/state.h"

namespace hvezda {

// Raises the step counter by one; steps 1 to 3 show the three explosion
// pictures (an auto-sized sprite takes each one's size) and step 4 hides the
// sprite. True on step 4: the caller adds what its explosion ends with.
// QUIRK(explosion-counter-runs-on): equality on purpose: a counter past 4 does nothing more.
bool explosionStep(Scene& s, Sprite& target, Counter& step);

}  // namespace hvezda
