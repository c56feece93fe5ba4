// SPDX-License-Identifier: MIT
// Recordings: games the window wrote down as driver scripts, replayed and
// checked. A recording may come from anyone, so it is read as a stream with
// bounded lines and bounded play time, and it may hold nothing but comments
// and the recorder's own lines (format, player, seed, daily, keydown, keyup,
// click, advance, random, checkpoint, expect and expect-hash): nothing in it
// can write a file or run for hours.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "scene/game.h"

namespace record {

struct RecordingLimits {
    size_t longestLine = 4096;                    // bytes, without the line end
    int64_t longestPlayMs = 24LL * 3600 * 1000;   // the advances of the whole recording
    size_t mostRandomWaiting = 65536;             // queued random values not yet drawn
};

struct Verdict {
    enum Status {
        Verified = 0,  // every line ran, every expectation held, the final state was checked
        Unmet = 1,     // an expectation or a checkpoint did not hold: the replay went another way
        Refused = 2,   // not a recording, a newer format, or past a limit; nothing ran when checked first
        Cut = 3,       // ran every complete line, but the end (the final state) is missing
        Stopped = 4,   // the viewer stopped the replay
    };
    Status status = Verified;
    std::string message;  // "line N: WHY", or a summary when verified
    // What the recording says of itself, as far as it was read.
    int format = 1;
    std::string writer, when, name;  // its format and player lines; empty without
    // Where the game's luck came from: its seed alone (a format 3 recording
    // with a seed line and no random line), or chosen by the recording.
    enum class Luck { Chosen, Seed };
    Luck luck = Luck::Chosen;
    uint64_t seed = 0;   // its seed line's value
    std::string daily;   // its daily line's date, empty without
};

// " luck: seed S" or " luck: chosen", as hvezda-sim --verify ends its line.
std::string luckSaid(const Verdict& v);

// Opens a recording: a regular file, as it is read twice (no pipe, no
// folder). Returns an error text, empty on success.
std::string openRecording(const std::string& path, std::ifstream& file);

// Reads the whole recording without running it: every line must be one a
// recording may hold, within the limits. Targets are looked up in g, unchanged.
Verdict checkRecording(hvezda::Game& g, std::istream& in, const RecordingLimits& limits);

// Runs a checked recording on g, whose start-up has run, from the stream's
// start. Advances go through advanceBy when given (it returns false to stop);
// otherwise they run at once. Stops after EXIT, as the driver does.
using AdvanceBy = std::function<bool(hvezda::Game& g, int64_t ms)>;
Verdict playRecording(hvezda::Game& g, std::istream& in, const RecordingLimits& limits, const AdvanceBy& advanceBy = {});

// Both, as hvezda-sim --verify does: the recording checked whole, then played
// on g, whose start-up has run.
Verdict verifyRecording(hvezda::Game& g, std::istream& in, const RecordingLimits& limits = {});

// A recorded game replayed to its end from start-up, as the hall of fame
// (local or public) ranks it: verified, ended, and its score a whole number.
struct PlayedToTheEnd {
    Verdict verdict;
    bool winner = false;
    int64_t score = 0;
    int64_t lengthMs = 0;  // the tick before the one that saw the end (or the last tick)
};
// False with `why` when the recording does not verify, the game had not
// ended or its score is no number. `everyTick` is called after each tick
// (it may throw to give up).
bool playToTheEnd(std::istream& in, const RecordingLimits& limits, PlayedToTheEnd& out, std::string& why,
                  const std::function<void()>& everyTick = {});

}  // namespace record
