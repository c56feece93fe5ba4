// SPDX-License-Identifier: MIT
// On Windows the game is a desktop program: started from Explorer it opens no
// console window. Started from a console, it writes --help, --version and its
// complaints there all the same: standard output and error that lead nowhere
// are joined to the console of the program that started it, if any. Output
// already sent to a file or a pipe stays there. Does nothing elsewhere.
#pragma once

namespace app {

void useStartingConsole();

}  // namespace app
