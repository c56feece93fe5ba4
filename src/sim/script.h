// SPDX-License-Identifier: MIT
// The headless driver's script reader: runs a game on the virtual clock, line
// by line, with the recording music player. Replays and bug reports use this
// protocol, so existing lines keep their meaning and their output for good.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "musicplayer/recording.h"
#include "scene/game.h"

// The folder the driver pretends the program lives in, so that the music path
// it records is the same on every machine.
inline constexpr const char* kSimProgramFolder = "/hvezda";
// The window handle it hands out for Form2.
inline constexpr int32_t kSimForm2Handle = 2;

struct SimOptions {
    uint64_t seed = 0;
    // Draws the scene into a PNG file; empty when the build has no drawing.
    // Returns an error text, empty on success.
    std::function<std::string(hvezda::Scene&, const std::string& file)> screenshot;
};

struct SimResult {
    int exitCode = 0;  // 0 every line ran (or EXIT was clicked), 2 a malformed line
    std::string error;  // "line N: WHY" when exitCode is 2
};

struct Sim {
    hvezda::Game game;
    SimOptions options;
    uint64_t draws = 0;  // draws answered by the generator so far
    bool exited = false;

    Sim() = default;
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
};

// Builds the scene and runs Form_Load at virtual time 0.
void startSim(Sim& sim, SimOptions options);
// Runs one script line (numbered lineNo for error messages). Returns false with
// `error` set when the line is malformed; nothing of the line has run then.
bool runSimLine(Sim& sim, const std::string& line, std::ostream& out, std::string& error);
// Runs a whole script; stops at the first malformed line or after EXIT.
SimResult runSimScript(Sim& sim, std::istream& in, std::ostream& out);

// Number formatting shared by get and dump: the shortest text that reads back
// to the same float, never with an exponent.
std::string formatFloat(float v);
std::string formatColor(uint32_t c);
