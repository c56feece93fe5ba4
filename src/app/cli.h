// SPDX-License-Identifier: MIT
// The command line of the game and of its timing probe: one parser for both,
// so --help, --version and a mistyped option behave the same everywhere.
#pragma once

#include <optional>
#include <string>

namespace app {

// What hvezda-pace is asked to run (see src/pace/main.cpp).
struct PaceOptions {
    double seconds = 20;
    bool boss = false;
    bool music = true;
    bool strict = false;
    double pause = 0;  // seconds paused half way through
    bool vsync = false;
};

// What the game is asked for on its command line, over its settings.
struct GameOptions {
    bool fullscreen = false;
    int scale = -1;  // -1: as the settings say
    bool writeSettings = false;
    std::string record;  // the file to record the game into; empty: the state folder
    std::string replay;  // a recording to play back instead
    double speed = 1;    // how much faster than real time
    bool scores = false;  // print the hall of fame and exit
    bool verbose = false;  // with scores: each entry's file too
    int replayBest = 0;   // play back the hall's entry of this place instead
    bool daily = false;   // fly today's daily flight; with scores: print today's best daily games
    std::string submit;     // a recording to send to a public hall of fame
    std::string submitTo;   // its server; empty: the setting hall_server
};

// Each returns nothing when the program should go on, or the status to exit
// with at once: 0 after --help or --version (printed on standard output), 2
// after a bad command line (what is wrong and a hint, on standard error).
std::optional<int> readGameCommandLine(int argc, char** argv, GameOptions& options);
std::optional<int> readPaceCommandLine(int argc, char** argv, PaceOptions& options);

}  // namespace app
