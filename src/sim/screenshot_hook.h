// SPDX-License-Identifier: MIT
// The driver's `screenshot` line draws with the game's own drawing code when
// the build has it; the hook is empty otherwise.
#pragma once

#include <functional>
#include <string>

#include "scene/scene.h"

namespace driver {

std::function<std::string(hvezda::Scene&, const std::string& file)> simScreenshotHook();

}  // namespace driver
