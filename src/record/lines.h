// SPDX-License-Identifier: MIT
// The lines a recording is made of: each step is written by formatStep and
// read back by readLine, its twin, so the recorder and every reader agree.
// The driver's scripts use the same lines among their other commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/fields.h"
#include "scene/game.h"
#include "shell/shell.h"

namespace rec {

// The recordings this program writes; it reads these and every older one.
// Format 1 (hvezda 0.1) had no format line and no checkpoints; format 2 wrote
// every value the game drew as random lines; format 3 names the game's seed
// (and the date of a daily flight) instead.
inline constexpr int kFormat = 3;

// This program's version ("0.2"); its format lines name it as "hvezda 0.2".
std::string_view programVersion();

struct Step {
    enum class Kind { KeyDown, KeyUp, Click, Advance, Random, Expect, ExpectHash, Checkpoint, Format, Player, Seed, Daily };
    Kind kind = Kind::Advance;
    int code = 0, shift = 0;     // KeyDown, KeyUp
    hvezda::PanelLabel label = hvezda::PanelLabel::None;  // Click
    int64_t ms = 0;              // Advance; Checkpoint: the clock it was taken at
    std::vector<float> values;   // Random
    std::string target, value;   // Expect: a target as get names it, the text get would print
    uint64_t hash = 0;           // ExpectHash; Checkpoint: the running digest
    int format = 0;              // Format: the format's number
    std::string writer;          // Format: the program that wrote it ("hvezda 0.2")
    std::string when, name;      // Player: the local time the game began (2026-12-07T15:04:05+0100), who played
                                 // Daily: `when` is the date, YYYY-MM-DD
    uint64_t seed = 0;           // Seed: the seed; Daily: the date's seed
    bool operator==(const Step&) const = default;
};

// The steps' constructors, for writers and tests.
Step keyStep(bool down, int code, int shift = 0);
Step clickStep(hvezda::PanelLabel label);
Step advanceStep(int64_t ms);
Step checkpointStep(int64_t clock, uint64_t digest);
Step versionStep(int format, std::string writer);
Step playerStep(std::string when, std::string name);
Step seedStep(uint64_t seed);
Step dailyStep(const std::string& date);  // a date parseDate reads

// The line for a step, without a line end.
std::string lineOf(const Step& step);

enum class LineKind {
    Nothing,    // blank or a comment
    Step,       // a step, in `step`
    Other,      // a well-spaced line with another command, in `words`
    Malformed,  // `error` says why
};
// Reads a line (without its line end). An expectation's target is looked up
// in g, which is not changed. A format line of a format newer than kFormat is
// malformed: its error names the program the recording needs.
LineKind readLine(hvezda::Game& g, std::string_view line, Step& step, std::vector<std::string_view>& words,
                  std::string& error);

// False, with `error`, when a line's words number fewer than min or more than max.
bool wordCount(const std::vector<std::string_view>& words, size_t min, size_t max, std::string& error);

// Runs steps on one game and keeps its running digest: the fingerprint of
// the state after every key, click and advance, folded in order. A checkpoint
// holds when the clock and the running digest are those it names.
class StepRunner {
public:
    explicit StepRunner(hvezda::Game& g) : game_(g), values_(g) {}
    // Runs a step (an advance at once). False, with `error` saying what
    // differs, for an expectation or a checkpoint that does not hold.
    bool run(const Step& step, std::string& error);
    // Folds the state into the running digest: after a step that ran the game
    // (run does it itself).
    void ran() { foldDigest(digest_, values_.digest()); }
    uint64_t digest() const { return digest_; }
    const Values& values() const { return values_; }

private:
    hvezda::Game& game_;
    Values values_;
    uint64_t digest_ = kDigestBasis;
};

}  // namespace rec
