// SPDX-License-Identifier: MIT
// What the game asks of the desktop at start-up and EXIT, on SDL.
#pragma once

#include <string>

#include "scene/game.h"

struct SDL_Window;

namespace app {

// The program's folder as SDL_GetBasePath gives it ("/opt/hvezda/"), without
// the trailing separator, except for the root folder itself, which stays "/".
std::string folderFromBasePath(const char* basePath);

struct HostWindows {
    SDL_Window* form2 = nullptr;  // made hidden on the first request for its handle
    bool closed = false;          // EXIT (or the desktop) closed the windows
};

// Host services backed by SDL and the C library; `windows` must outlive them.
hvezda::Host makeHost(HostWindows& windows);

}  // namespace app
