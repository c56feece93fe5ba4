#include "sim/screenshot_hook.h"

std::function<std::string(Scene&, const std::string&)> simScreenshotHook() { return {}; }
