// SPDX-License-Identifier: MIT
// "Moonlite", the game's background tune, composed in code.
#pragma once

#include <cstdint>
#include <vector>

#include "modfile.h"

namespace musicgen {

// What each of the four channels plays. Bass and drums sit in the middle,
// lead and arpeggio a little to either side.
constexpr int kBassChannel = 0, kDrumChannel = 1, kArpChannel = 2, kLeadChannel = 3;

Module composeMoonlite();
std::vector<uint8_t> buildMoonlite();  // the finished module file, byte for byte

}  // namespace musicgen
