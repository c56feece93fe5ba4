// SPDX-License-Identifier: MIT
// Writing a game down as it is played: the lines of its recording, from the
// random values it draws, the keys and clicks that reach it and its virtual
// clock. Where the lines go (a file, the browser's storage) is the caller's.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "record/lines.h"
#include "scene/game.h"

namespace record {

class Writer {
public:
    // A checkpoint at least this often in virtual time, so a replay that goes
    // another way says so within a second of play.
    static constexpr int64_t kCheckpointMs = 1000;

    struct Header {
        std::vector<std::string> comments;  // without their '#'
        std::string when = localTime(std::time(nullptr));
        std::string name;  // who plays; cut to kLongestName bytes, controls made blanks
    };
    static constexpr size_t kLongestName = 64;
    // Starts a new game's recording: its header (the comments, the format
    // line, when and by whom). g's start-up has not run yet.
    void start(hvezda::Game& g, const Header& header);
    // A moment as the player line gives it: the local time and its offset
    // from UTC, 2026-12-07T15:04:05+01:00.
    static std::string localTime(std::time_t t);
    // A random value the game drew.
    void drew(float r) { drawn_.push_back(r); }
    // After every instant of the loop; true when it wrote a checkpoint (a
    // second of play since the last), after which the caller may save.
    bool instant(hvezda::Game& g);
    // Just before a key or a click reaches the game's handlers: writes what
    // is pending, the values drawn and the time since the last line.
    void catchUp(hvezda::Game& g);
    // After a key or a click reached the game's handlers.
    void event(hvezda::Game& g, const Step& step);
    // The game's end: a last checkpoint and what it ended with. Once.
    void end(hvezda::Game& g);
    bool ended() const { return ended_; }

    // The lines written since the last call, each with its line end.
    std::string take();

private:
    void write(const Step& step);
    void checkpoint(hvezda::Game& g);

    std::optional<StepRunner> runner_;  // the running digest, as a replay keeps it
    std::vector<float> drawn_;          // random values drawn, not written yet
    int64_t writtenClock_ = 0;          // the virtual time the written advances reach
    int64_t checkpointClock_ = 0;
    bool sinceCheckpoint_ = false;      // a step changed the digest after the last checkpoint
    bool ended_ = false;
    std::string out_;
};

}  // namespace record
