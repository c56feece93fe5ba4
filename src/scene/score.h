// The score lives only as the caption of the panel label `score`: an update
// reads it as a number, adds, and writes the sum back as text.
#pragma once

#include "scene/scene.h"

double scoreValue(const Scene& s);
void addToScore(Scene& s, double points);
