// A player backend that plays nothing and remembers every call in order, for
// tests and the headless driver. Handles are 1, 2, 3, ... in order of creation;
// calls naming any other handle are recorded with "(no instance)" and do nothing.
#pragma once

#include <string>
#include <vector>

#include "musicplayer/modplug.h"

struct PlayerRecord {
    std::vector<std::string> calls;  // e.g. "CreateEx(loop|true)=1", "Load(1,/game/Moonlite.dat)"
};

// The recording backend writes into *record (which must outlive its use).
const PlayerBackend& recordingPlayerBackend(PlayerRecord* record);
