// SPDX-License-Identifier: MIT
// Sealing a script: the script's own steps made into a recording that
// verifies, without a window. Anyone with the source can do this, which is
// why a recording's checkpoints prove only that its end follows from its
// keys and its luck; whether the luck was fair is its seed's matter.
#pragma once

#include <iosfwd>
#include <string>

#include "sim/script.h"

namespace driver {

// Runs `script` (the lines a recording may hold: keys, clicks, advances,
// random, seed, daily, player, comments) in the driver and writes it to
// `recording` as a recording of the current format: a format line first,
// the same lines in the same order, a checkpoint at least once a second of
// play, and the closing expectations (before an EXIT click, as the game's
// recorder writes them). A daily line without a seed line gets its date's
// seed line after it. Any other line is refused: exitCode 2 and "line N: WHY",
// with nothing written. So is a script whose recording would not verify.
SimResult sealScript(std::istream& script, std::string& recording);

}  // namespace driver
