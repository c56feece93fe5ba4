// SPDX-License-Identifier: MIT
// The headless driver's script reader: runs a game on the virtual clock, line
// by line, with the recording music player. Replays and bug reports use this
// protocol, so existing lines keep their meaning and their output for good.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "musicplayer/recording.h"
#include "record/lines.h"
#include "scene/game.h"

namespace driver {

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
    int exitCode = 0;  // 0 every line ran (or EXIT was clicked), 1 an expectation failed, 2 a malformed line
    std::string error;  // "line N: WHY" when exitCode is 1 or 2
};

struct Sim {
    hvezda::Game game;
    std::optional<record::StepRunner> steps;  // runs the recording lines on game, keeping its digest
    std::shared_ptr<musicplayer::RecordingPlayer> music = std::make_shared<musicplayer::RecordingPlayer>();  // the game's music player
    SimOptions options;
    uint64_t draws = 0;  // draws answered by the generator so far
    bool exited = false;
    bool unmet = false;  // the last line refused was an expectation that failed

    Sim() = default;
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
};

// Builds the scene and runs Form_Load at virtual time 0.
void startSim(Sim& sim, SimOptions options);
// Runs one script line. Returns false with `error` set when the line is
// malformed (nothing of it has run then) or, with sim.unmet set, when it is an
// expectation that does not hold.
bool runSimLine(Sim& sim, const std::string& line, std::ostream& out, std::string& error);
// Runs a whole script; stops at the first malformed line or after EXIT.
SimResult runSimScript(Sim& sim, std::istream& in, std::ostream& out);

}  // namespace driver
