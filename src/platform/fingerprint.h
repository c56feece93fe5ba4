// SPDX-License-Identifier: MIT
// A fingerprint of everything the drawing shows, in pixels: equal
// fingerprints draw the same picture, so a frame can be skipped when nothing
// visible has changed since the last one.
#pragma once

#include <cstdint>

#include "scene/scene.h"

namespace plat {

uint64_t sceneFingerprint(hvezda::Scene& scene);

}  // namespace plat
