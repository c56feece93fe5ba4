// SPDX-License-Identifier: MIT
// The recorder: writes the game being played as a driver script, as it goes,
// so that hvezda-sim --verify and hvezda --replay play it again to the tick.
// It watches the game from outside: the random values drawn (through the
// game's random source), the keys and clicks handed to the game, and the
// virtual clock. The game itself knows nothing of it. When the disk fails it
// says so in one line on standard error and stops recording; play goes on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/input.h"
#include "record/writer.h"
#include "scene/game.h"

namespace app {

inline constexpr const char* kLastGame = "last-game.sim";
inline constexpr const char* kPreviousGame = "previous-game.sim";

// Makes room in `folder` for a new last game: last-game.sim becomes
// previous-game.sim in one rename, replacing the game before it. Returns the
// path for the new recording; empty, with `error`, when the rename fails
// (then nothing was touched).
std::string rotateRecordings(const std::string& folder, std::string& error);

class Recorder : public platform::InputWatcher {
public:
    // Records into `chosen`, the second game into chosen-2 and so on; when
    // empty, into the state folder (last-game.sim, the game before it moved
    // aside to previous-game.sim).
    // `name`: who plays, for the recordings' player line.
    explicit Recorder(std::string chosen = {}, std::string name = {})
        : chosen_(std::move(chosen)), name_(std::move(name)) {}
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder() override { close(); }

    // Starts recording g, whose start-up has not run yet: a new game. When
    // it cannot, one line says why and the game is played unrecorded.
    void start(hvezda::Game& g);
    bool recording() const { return file_ != nullptr; }

    // After each instant of the loop: once a virtual second, writes what is
    // pending and flushes it, so a crash loses at most the last second.
    void onInstant(hvezda::Game& g);
    void before(hvezda::Game& g, const platform::DeliveredEvent& e) override;
    void after(hvezda::Game& g, const platform::DeliveredEvent& e, bool reached) override;
    // Ends the recording with the game's final state, unless EXIT already did.
    void finish(hvezda::Game& g);
    // The game's recording so far, ended as though the game were left now
    // (the file itself goes on); empty when this game is not recorded whole.
    std::string snapshot(hvezda::Game& g);

private:
    std::string open(const std::string& path);  // an error text, empty on success
    // Appends what the writer wrote to the file; flushes it when `flush`.
    void save(bool flush);
    // A write failed: says so in one line and records no more; the game goes on.
    void stop();
    void close();

    std::string chosen_, name_;
    int games_ = 0;
    std::FILE* file_ = nullptr;
    std::string path_;
    bool whole_ = false;  // this game's file holds every line so far
    record::Writer writer_;
};

}  // namespace app
