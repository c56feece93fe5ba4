// SPDX-License-Identifier: MIT
#include "sim/screenshot_hook.h"

using namespace hvezda;

std::function<std::string(Scene&, const std::string&)> driver::simScreenshotHook() { return {}; }
