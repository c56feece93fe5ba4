// "Moonlite", the game's background tune, composed in code.
#pragma once

#include <cstdint>
#include <vector>

#include "modfile.h"

namespace musicgen {

Module composeMoonlite();
std::vector<uint8_t> buildMoonlite();  // the finished module file, byte for byte

}  // namespace musicgen
