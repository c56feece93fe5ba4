// SPDX-License-Identifier: MIT
// "Moonlite", the game's background tune, composed in code.
#pragma once

#include <cstdint>
#include <vector>

#include "modfile.h"

namespace musicgen {

// What each channel plays. Bass and kick sit in the middle, the cymbals a
// little to the right, the lead further right, the chords (an arpeggio or a
// pad) and the second voice (a bell tune, an echo or a harmony) to the left.
constexpr int kBassChannel = 0, kKickChannel = 1, kCymbalChannel = 2, kChordChannel = 3, kLeadChannel = 4,
              kVoiceChannel = 5;

Module composeMoonlite();
std::vector<uint8_t> buildMoonlite();  // the finished module file, byte for byte

}  // namespace musicgen
