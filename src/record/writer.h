// SPDX-License-Identifier: MIT
// Writing a game down as it is played: the lines of its recording, from the
// seed it draws its luck from, the keys and clicks that reach it and its
// virtual clock. Where the lines go (a file, the browser's storage) is the caller's.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "record/lines.h"
#include "record/seed.h"
#include "scene/game.h"

namespace rec {

class Writer {
public:
    // A checkpoint at least this often in virtual time, so a replay that goes
    // another way says so within a second of play.
    static constexpr int64_t kCheckpointMs = 1000;

    struct Header {
        std::vector<std::string> comments;  // without their '#'
        std::string when = localTime(std::time(nullptr));
        std::string name;  // who plays; cut to kLongestName bytes, controls made blanks
        std::optional<GameSeed> seed;  // the game's seed (and daily flight), when its luck is a seed's
    };
    static constexpr size_t kLongestName = 64;
    // Starts a new game's recording: its header (the comments, the format
    // line, when and by whom, and the seed the game draws its luck from,
    // when it has one). g's start-up has not run yet.
    void start(hvezda::Game& g, const Header& header);
    // A moment as the player line gives it: the local time and its offset
    // from UTC, 2026-12-07T15:04:05+01:00.
    static std::string localTime(std::time_t t);
    // After every instant of the loop; true when it wrote a checkpoint (a
    // second of play since the last), after which the caller may save.
    bool instant(hvezda::Game& g);
    // Just before a key or a click reaches the game's handlers: writes what
    // is pending, the time since the last line.
    void catchUp(hvezda::Game& g);
    // After a key or a click reached the game's handlers.
    void event(hvezda::Game& g, const Step& step);
    // The game's end: a last checkpoint and what it ended with. Once.
    void end(hvezda::Game& g);
    bool ended() const { return ended_; }

    // The lines written since the last call, each with its line end.
    std::string take();

    // What a recording states of the game's end: a comment, then the
    // expectations of the values that matter and of the whole state's hash.
    static std::string closingLines(hvezda::Game& g, const Values& values);

private:
    void write(const Step& step);
    void checkpoint(hvezda::Game& g);

    std::optional<StepRunner> runner_;  // the running digest, as a replay keeps it
    int64_t writtenClock_ = 0;          // the virtual time the written advances reach
    int64_t checkpointClock_ = 0;
    bool sinceCheckpoint_ = false;      // a step changed the digest after the last checkpoint
    bool ended_ = false;
    std::string out_;
};

}  // namespace rec
