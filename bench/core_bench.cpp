// SPDX-License-Identifier: MIT
// The game core alone: each tick handler from states taken out of scripted
// play, and whole game-minutes of scripted play on the virtual clock.
//
// x_realtime is virtual seconds simulated per real second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "boss/boss.h"
#include "combat/combat.h"
#include "enemies/enemies.h"
#include "autoplay.h"
#include "player/player.h"
#include "record/replay.h"
#include "shell/shell.h"
#include "sim/script.h"

using namespace hvezda;
using namespace driver;

namespace {

// States a handler really meets: copies of the game taken just before that
// timer's ticks (the listener runs right before the handler).
constexpr size_t kSnapshots = 32;

std::vector<Game> snapshotsBefore(Game g, TimerId id, Aim keep, int64_t playMs) {
    std::vector<Game> out;
    const int64_t every = playMs / 10 / static_cast<int64_t>(kSnapshots) + 1;
    int64_t seen = 0;
    g.onTick = [&](Game& game, TimerId which) {
        if (which != id || out.size() >= kSnapshots || seen++ % every != 0) return;
        out.push_back(game);
        out.back().onTick = nullptr;
    };
    playScripted(g, playMs, keep);
    if (out.empty()) std::abort();  // the script no longer reaches this timer's phase
    return out;
}

void runHandler(benchmark::State& state, const std::vector<Game>& snaps, TimerId id) {
    std::vector<Game> work = snaps;
    for (auto _ : state) {
        state.PauseTiming();
        for (size_t i = 0; i < work.size(); ++i) work[i] = snaps[i];
        state.ResumeTiming();
        for (Game& g : work) runTimerHandler(g, id);
        benchmark::ClobberMemory();
    }
    // Seconds per handler call (shown with an SI prefix: 25n is 25 ns).
    state.counters["per_tick"] = benchmark::Counter(static_cast<double>(state.iterations() * work.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Timer1_FlightHeldKeys(benchmark::State& state) {
    static const auto snaps = snapshotsBefore(normalPlay(1), TimerId::Timer1, Aim::NormalPlay, 3000);
    runHandler(state, snaps, TimerId::Timer1);
}
void BM_Timer2_StatusBlink(benchmark::State& state) {
    Game g = normalPlay(2);
    g.scene.energy.Top = 1600;  // lower edge at 7975: the warning is up
    playScripted(g, 100, Aim::Nothing);
    static const auto snaps = [&] {
        std::vector<Game> out;
        g.onTick = [&](Game& game, TimerId which) {
            if (which == TimerId::Timer2 && out.size() < kSnapshots) {
                out.push_back(game);
                out.back().onTick = nullptr;
            }
        };
        for (int i = 0; i < 200 && out.size() < kSnapshots; ++i) {
            g.scene.energy.Top = 1600;
            playScripted(g, 500, Aim::Nothing);
        }
        if (out.empty()) std::abort();
        return out;
    }();
    runHandler(state, snaps, TimerId::Timer2);
}
void BM_Timer3_Enemies(benchmark::State& state) {
    static const auto snaps = snapshotsBefore(normalPlay(3), TimerId::Timer3, Aim::NormalPlay, 6000);
    runHandler(state, snaps, TimerId::Timer3);
}
void BM_Timer4_Combat(benchmark::State& state) {
    static const auto snaps = snapshotsBefore(normalPlay(4), TimerId::Timer4, Aim::NormalPlay, 6000);
    runHandler(state, snaps, TimerId::Timer4);
}
void BM_Timer5_BannerFade(benchmark::State& state) {
    static const auto snaps = snapshotsBefore(afterTheEnd(5), TimerId::Timer5, Aim::Nothing, 1000);
    runHandler(state, snaps, TimerId::Timer5);
}
void BM_Timerboss_Fight(benchmark::State& state) {
    static const auto snaps = snapshotsBefore(bossFight(6), TimerId::Timerboss, Aim::BossFight, 3000);
    runHandler(state, snaps, TimerId::Timerboss);
}

// One virtual minute of scripted play per iteration.
void gameMinute(benchmark::State& state, const Game& start, Aim keep) {
    for (auto _ : state) {
        Game g = start;
        playScripted(g, 60000, keep);
        benchmark::DoNotOptimize(g.clock);
    }
    state.counters["x_realtime"] =
        benchmark::Counter(60.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_GameMinute_NormalPlay(benchmark::State& state) {
    static const Game start = normalPlay(7);
    gameMinute(state, start, Aim::NormalPlay);
}
void BM_GameMinute_BossFight(benchmark::State& state) {
    static const Game start = bossFight(8);
    if (!start.scene.Timerboss.Enabled) std::abort();
    gameMinute(state, start, Aim::BossFight);
}

// Checking a recorded game whole, as hvezda-sim --verify does once the file
// is read: the corpus's WINNER game, from memory.
void BM_VerifyRecording(benchmark::State& state) {
    static const std::string text = [] {
        std::stringstream file;
        file << std::ifstream(HVEZDA_CORPUS "/winner.sim").rdbuf();
        return file.str();
    }();
    int64_t played = 0;
    for (auto _ : state) {
        Sim sim;
        startSim(sim, {});
        std::istringstream in(text);
        if (record::verifyRecording(sim.game, in).status != record::Verdict::Verified) std::abort();
        played = sim.game.clock;
    }
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(played) / 1000.0 *
                                                          static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_Timer1_FlightHeldKeys);
BENCHMARK(BM_Timer2_StatusBlink);
BENCHMARK(BM_Timer3_Enemies);
BENCHMARK(BM_Timer4_Combat);
BENCHMARK(BM_Timer5_BannerFade);
BENCHMARK(BM_Timerboss_Fight);
BENCHMARK(BM_GameMinute_NormalPlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameMinute_BossFight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyRecording)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
