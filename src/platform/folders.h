// SPDX-License-Identifier: MIT
// Where the game keeps a player's files, found by one set of rules. On Linux
// the XDG variables, each counted only when it names an absolute folder, else
// the usual places under HOME; on Windows %APPDATA%\hvezda and the Pictures
// folder. Folders that are made are made private to the player.
#pragma once

#include <string>

namespace platform {

enum class Folder {
    Settings,    // $XDG_CONFIG_HOME/hvezda, else ~/.config/hvezda
    Recordings,  // $XDG_STATE_HOME/hvezda, else ~/.local/state/hvezda
    Hall,        // the recordings' folder's hall/
    Pictures,    // $XDG_PICTURES_DIR, else the home folder, else "."; not made
};

// The folder, without a trailing separator, made (with its parents) when
// `make` and missing. Empty, with `error`, when there is no such folder or it
// cannot be made.
std::string folder(Folder which, bool make, std::string& error);

// Where a folder is, in words, for --help.
const char* folderInWords(Folder which);

}  // namespace platform
