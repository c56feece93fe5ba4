// SPDX-License-Identifier: MIT
// Where the game's data (its music) lives, seen from the program's folder.
#pragma once

#include <string>

namespace app {

// The program's own folder when Moonlite.dat is there (a build folder),
// otherwise ../share/hvezda beside it (an installed copy, under any prefix).
std::string dataFolder(const std::string& programFolder);

}  // namespace app
