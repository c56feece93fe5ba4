// SPDX-License-Identifier: MIT
// The score lives only as the caption of the panel label `score`: an update
// reads it as a number, adds, and writes the sum back as text.
#pragma once

#include "scene/scene.h"

namespace hvezda {

inline constexpr double kKillPoints = 12;       // a craft destroyed, and each end of the boss fight
inline constexpr double kBossCallScore = 1000;  // the first score above it calls the boss

double scoreValue(const Scene& s);
void addToScore(Scene& s, double points);

}  // namespace hvezda
