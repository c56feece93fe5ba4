// SPDX-License-Identifier: MIT
// The headless driver's script reader: runs a game on the virtual clock, line
// by line, with the recording music player. Replays and bug reports use this
// protocol, so existing lines keep their meaning and their output for good.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

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
    int exitCode = 0;  // 0 every line ran (or EXIT was clicked), 1 an expectation failed, 2 a malformed line
    std::string error;  // "line N: WHY" when exitCode is 1 or 2
};

struct Sim {
    hvezda::Game game;
    SimOptions options;
    uint64_t draws = 0;  // draws answered by the generator so far
    bool exited = false;
    bool unmet = false;  // the last line refused was an expectation that failed

    Sim() = default;
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
};

// The driver's own generator: seeded by --seed, re-seeded from the virtual
// clock before every draw (and the draw's number, so two draws in one tick
// differ). The game in a browser page draws the same with ?seed=N.
uint64_t driverSeed(uint64_t seed, int64_t clock, uint64_t draw);

// Builds the scene and runs Form_Load at virtual time 0.
void startSim(Sim& sim, SimOptions options);
// Runs one script line. Returns false with `error` set when the line is
// malformed (nothing of it has run then) or, with sim.unmet set, when it is an
// expectation that does not hold.
bool runSimLine(Sim& sim, const std::string& line, std::ostream& out, std::string& error);
// Runs a whole script; stops at the first malformed line or after EXIT.
SimResult runSimScript(Sim& sim, std::istream& in, std::ostream& out);

// ---- The lines of a recording ------------------------------------------------

// The lines the game's recorder writes: everything a recording may contain
// besides comments and blank lines.
struct Step {
    enum class Kind { KeyDown, KeyUp, Click, Advance, Random, Expect, ExpectHash };
    Kind kind = Kind::Advance;
    int code = 0, shift = 0;     // KeyDown, KeyUp
    int label = 0;               // Click: 4, 5 or 6 (Label4 is EXIT)
    int64_t ms = 0;              // Advance
    std::vector<float> values;   // Random
    std::string target, value;   // Expect: a target as get names it, the text get would print
    uint64_t hash = 0;           // ExpectHash
};

enum class LineKind {
    Nothing,    // blank or a comment
    Step,       // one of the recorder's lines, in `step`
    Other,      // a well-spaced line with another command, in `words`
    Malformed,  // `error` says why
};
// Reads a line (without its line end). An expectation's target is looked up
// in g, which is not changed.
LineKind readLine(hvezda::Game& g, std::string_view line, Step& step, std::vector<std::string_view>& words,
                  std::string& error);
// Runs a step on g. False, with `error` saying what differs, when it is an
// expectation that does not hold.
bool runStep(hvezda::Game& g, const Step& step, std::string& error);

// ---- State ------------------------------------------------------------------

// The text `get TARGET` prints after the '='; false, with `error`, for an unknown target.
bool readTarget(hvezda::Game& g, std::string_view target, std::string& value, std::string& error);
// Every target with its value, one `TARGET=VALUE` line each, as `dump` prints them.
void dumpGame(hvezda::Game& g, std::ostream& out);
// A 64-bit FNV-1a hash of the dump, leaving out the two lines that name the
// machine's music player (state.musicHandle and state.musicPath), so that the
// window and the driver agree on it.
uint64_t stateHash(hvezda::Game& g);
std::string formatHash(uint64_t hash);  // 16 lower-case hex digits

// Number formatting shared by get and dump: the shortest text that reads back
// to the same float, never with an exponent.
std::string formatFloat(float v);
std::string formatColor(uint32_t c);
