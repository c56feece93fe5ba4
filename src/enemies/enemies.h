// The enemy tick (Timer3): the craft, their shots, rams, the boss's approach,
// and the two plain motions the boss tick also performs.
#pragma once

#include "scene/game.h"

void Timer3_Timer(Game& g);

// Every shown player shot climbs 300; one already above the panel's line is
// hidden first (and still climbs on that step).
void advancePlayerShots(Scene& s);
// The stars fall by their own steps and wrap to the top once below the window.
void scrollStars(Scene& s);
