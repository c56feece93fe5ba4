// SPDX-License-Identifier: MIT
// The recorder: writes the game being played as a driver script, as it goes,
// so that hvezda-sim --verify and hvezda --replay play it again to the tick.
// It gives each game its seed, from which the game draws all of its luck, and
// writes that seed down; then it watches the game from outside: the keys and
// clicks handed to the game, and the virtual clock. The game itself knows
// nothing of it. When the disk fails it
// says so in one line on standard error and stops recording; play goes on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/input.h"
#include "record/seed.h"
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

// Where each game's luck comes from.
using SeedSource = std::function<rec::GameSeed()>;
// A seed of its own for every game, from the clock as the game starts.
rec::GameSeed seedFromClock();
// The daily flight: the seed of today's date (UTC), the same for everyone.
rec::GameSeed seedOfToday();

class Recorder : public plat::InputWatcher {
public:
    // Records into `chosen`, the second game into chosen-2 and so on; when
    // empty, into the state folder (last-game.sim, the game before it moved
    // aside to previous-game.sim).
    // `name`: who plays, for the recordings' player line. `seeds`: each
    // game's seed (seedFromClock when empty).
    explicit Recorder(std::string chosen = {}, std::string name = {}, SeedSource seeds = {})
        : chosen_(std::move(chosen)), name_(std::move(name)), seeds_(seeds ? std::move(seeds) : seedFromClock) {}
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder() override { close(); }

    // Starts a new game: g, whose start-up has not run yet, draws its luck
    // from a new seed's stream from now on, and its recording begins. When
    // it cannot record, one line says why and the game is played unrecorded.
    void start(hvezda::Game& g);
    bool recording() const { return file_ != nullptr; }
    // The seed of the game started last.
    const rec::GameSeed& seed() const { return seed_; }

    // After each instant of the loop: once a virtual second, writes what is
    // pending and flushes it, so a crash loses at most the last second.
    void onInstant(hvezda::Game& g);
    void before(hvezda::Game& g, const plat::DeliveredEvent& e) override;
    void after(hvezda::Game& g, const plat::DeliveredEvent& e, bool reached) override;
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
    SeedSource seeds_;
    rec::GameSeed seed_;
    int games_ = 0;
    std::FILE* file_ = nullptr;
    std::string path_;
    bool whole_ = false;  // this game's file holds every line so far
    rec::Writer writer_;
};

}  // namespace app
