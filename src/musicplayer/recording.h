// SPDX-License-Identifier: MIT
// A player backend that plays nothing and remembers every call in order, for
// tests and the headless driver (chosen as "recording"). Handles are 1, 2, 3,
// ... in order of creation; calls naming any other handle are recorded with
// "(no instance)" and do nothing.
#pragma once

#include <string>
#include <vector>

#include "musicplayer/modplug.h"

// A fresh recording, as a freshly loaded library: no instances, handles from 1,
// no calls yet.
const PlayerBackend& recordingPlayerBackend();

// The calls since the recording began, e.g. "CreateEx(loop|true)=1",
// "Load(1,/game/Moonlite.dat)".
const std::vector<std::string>& recordedPlayerCalls();
