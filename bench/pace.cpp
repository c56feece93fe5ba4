// SPDX-License-Identifier: MIT
// hvezda-pace: a timing probe on the game's real loop and real window. The
// game plays itself from a fixed script (held arrows and X presses sent as
// window key events) for a given time; then the probe reports, per timer, the
// ticks run against the count their intervals call for and how late the ticks
// came, whether every tick instant was shown, and the CPU time used.
//
//   hvezda-pace [--seconds N] [--phase normal|boss] [--no-music] [--pause S] [--vsync] [--strict]
//
// normal: the shield is held low (the warning blinks, Timer2 runs) and the
// score under the boss, so Timer1 to Timer4 run throughout. boss: the score
// is pushed past 1000 at once and both energies held full, so the approach
// hands over to Timerboss after 2.74 s. --pause S pauses the game for S
// seconds half way through: the counts due are then those of the playing
// time. --vsync presents as the vsync setting does (not every instant is
// shown then, by design). --strict exits 1 when a target is missed.
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "autoplay.h"
#include "app/session.h"
#include "musicplayer/openmpt_backend.h"
#include "platform/frames.h"
#include "platform/monotonic.h"
#include "platform/realtime.h"
#include "player/player.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

constexpr size_t kTimers = 6;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double quantileMs(std::vector<int64_t> ns, double q) {
    if (ns.empty()) return 0;
    std::sort(ns.begin(), ns.end());
    const size_t i = std::min(ns.size() - 1, static_cast<size_t>(q * static_cast<double>(ns.size())));
    return static_cast<double>(ns[i]) / 1e6;
}

// A key event into the window's queue, so the script's keys travel the same
// road as a player's: SDL's queue, the input router, the key map.
void pushKey(uint32_t windowId, bool down, SDL_Keycode key, SDL_Scancode scancode) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = windowId;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = scancode;
    SDL_PushEvent(&e);
}

// The scripted player's keys at virtual time t, as window key events.
void scriptAt(int64_t t, uint32_t win) {
    for (const auto& [down, code] : scriptedKeys(t)) {
        const SDL_Scancode sc = code == keys::left    ? SDL_SCANCODE_LEFT
                                : code == keys::right ? SDL_SCANCODE_RIGHT
                                : code == keys::up    ? SDL_SCANCODE_UP
                                : code == keys::down  ? SDL_SCANCODE_DOWN
                                                      : SDL_SCANCODE_X;
        pushKey(win, down, SDL_GetKeyFromScancode(sc), sc);
    }
}

struct Probe {
    std::array<uint64_t, kTimers> ticks{};
    std::array<std::vector<int64_t>, kTimers> lateNs;
    unsigned tickedNow = 0;  // timers that ticked at the instant being run
    // Spans of virtual time each timer was enabled, to count the ticks due.
    std::array<bool, kTimers> enabled{};
    std::array<int64_t, kTimers> since{};
    std::array<int64_t, kTimers> due{};
    uint64_t instants = 0, presents = 0, unpresented = 0;
    bool instantWaiting = false;
    std::vector<int64_t> presentNs;  // time to draw and present a frame
};

int64_t spanTicks(int64_t from, int64_t to, int interval) { return to > from ? (to - from) / interval : 0; }

}  // namespace

int main(int argc, char** argv) {
    app::PaceOptions opt;
    if (const std::optional<int> status = app::readPaceCommandLine(argc, argv, opt)) return *status;

    Game game;
    app::SessionOptions sessionOptions;
    sessionOptions.program = "hvezda-pace";
    sessionOptions.music = opt.music ? "real" : "null";
    sessionOptions.players = {&musicplayer::kRealPlayer, 1};
    sessionOptions.window.vsync = opt.vsync;
    // Fixed draws, so two runs play the same game.
    sessionOptions.seed = [n = uint64_t{1}]() mutable { return n++; };
    // Pause off: nothing but the script's keys reaches the game.
    sessionOptions.input.pauseOnFocusLoss = false;
    std::string why;
    auto session = app::Session::open(game, sessionOptions, why);
    if (!session) {
        std::fprintf(stderr, "hvezda-pace: %s\n", why.c_str());
        return 1;
    }
    const platform::GameWindow& window = session->window();
    opt.music = opt.music && session->musicAsAsked();

    Probe probe;
    bool failed = false;
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(window.renderer, &info);
    const std::string renderer = info.name ? info.name : "?";
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "?";

    {
        // The game's own way of showing frames: one that would look exactly
        // like the frame on screen is not drawn again (the scene is shown).
        const platform::Frames& frames = session->frames();
        Form_Load(game);
        if (opt.boss) game.scene.score.Caption = "1001";
        session->present();
        session->show();
        session->present();

        for (size_t i = 0; i < kTimers; ++i) probe.enabled[i] = timerOf(game.scene, kTimerOrder[i]).Enabled;
        game.onTick = [&](Game& g, TimerId id) {
            probe.tickedNow |= 1u << static_cast<unsigned>(id);
            ++probe.ticks[static_cast<size_t>(id)];
            if (id == TimerId::Timer1) {
                keepInPhase(g, opt.boss ? Aim::BossFight : Aim::ShieldLow);
                scriptAt(g.clock, window.id);
            }
        };

        platform::LoopProbe loopProbe;
        loopProbe.onInstant = [&](int64_t virtualMs, int64_t deadlineNs, int64_t startedNs) {
            ++probe.instants;
            if (probe.instantWaiting) ++probe.unpresented;
            probe.instantWaiting = true;
            for (size_t i = 0; i < kTimers; ++i) {
                if (probe.tickedNow & (1u << i)) probe.lateNs[i].push_back(startedNs - deadlineNs);
                // Switched on or off at this instant: a span of due ticks ends or begins.
                const Timer& t = timerOf(game.scene, kTimerOrder[i]);
                if (t.Enabled != probe.enabled[i]) {
                    if (t.Enabled) probe.since[i] = virtualMs;
                    else probe.due[i] += spanTicks(probe.since[i], virtualMs, t.Interval);
                    probe.enabled[i] = t.Enabled;
                }
            }
            probe.tickedNow = 0;
        };
        loopProbe.onPresent = [&](int64_t) {
            ++probe.presents;
            probe.instantWaiting = false;
        };

        const int64_t startNs = platform::monotonicNs();
        const int64_t pauseAt = startNs + static_cast<int64_t>(opt.seconds / 2 * 1e9);
        const int64_t resumeAt = pauseAt + static_cast<int64_t>(opt.pause * 1e9);
        const int64_t stopNs = startNs + static_cast<int64_t>((opt.seconds + opt.pause) * 1e9);
        const double cpu0 = cpuSeconds();
        platform::LoopServices services = session->loopServices([&] {
            const int64_t now = platform::monotonicNs();
            session->input().setPaused(now >= pauseAt && now < resumeAt);
            return now < stopNs;
        });
        services.present = [&, show = services.present] {
            const int64_t t0 = platform::monotonicNs();
            const bool shown = show();
            if (shown) probe.presentNs.push_back(platform::monotonicNs() - t0);
            return shown;
        };
        platform::LoopStats stats;
        platform::runLoop(game, services, stats, loopProbe);
        const int64_t endNs = platform::monotonicNs();
        const double cpu = cpuSeconds() - cpu0;
        const double wall = static_cast<double>(endNs - startNs) / 1e9;
        // The last instant may fall after the loop stopped presenting.
        if (probe.instantWaiting && probe.unpresented == 0) probe.instantWaiting = false;

        // Ticks due before the run's end (the virtual clock began with the
        // loop); the loop stops at its first look at the time past the end,
        // so a tick due exactly then does not run.
        const int64_t pausedNs = session->input().pause().pausedNs(endNs);
        const int64_t endRelNs = stopNs - startNs - pausedNs;
        auto dueBeforeEnd = [&](int64_t fromMs, int interval) -> int64_t {
            const int64_t span = endRelNs - fromMs * 1'000'000;
            return span > 0 ? (span - 1) / (static_cast<int64_t>(interval) * 1'000'000) : 0;
        };
        char vsync[32] = "off";
        if (window.refreshNs) std::snprintf(vsync, sizeof vsync, "%.2f Hz", 1e9 / static_cast<double>(window.refreshNs));
        std::printf("hvezda-pace: %.1f s (%.3f s of it paused), phase %s, video %s, renderer %s, music %s, vsync %s\n",
                    wall, static_cast<double>(pausedNs) / 1e9, opt.boss ? "boss" : "normal", driver.c_str(),
                    renderer.c_str(), opt.music ? "on" : "off", vsync);
        std::printf("%-10s %8s %7s %8s %8s %11s %8s %8s\n", "timer", "interval", "ticks", "expected", "off by",
                    "late median", "p99", "max");
        bool countsOk = true, lateOk = true;
        for (size_t i = 0; i < kTimers; ++i) {
            const Timer& t = timerOf(game.scene, kTimerOrder[i]);
            int64_t due = probe.due[i];
            if (probe.enabled[i] && t.Interval > 0) due += dueBeforeEnd(probe.since[i], t.Interval);
            const int64_t got = static_cast<int64_t>(probe.ticks[i]);
            const double off = due > 0 ? 100.0 * static_cast<double>(got - due) / static_cast<double>(due) : 0.0;
            // Within 0.2 %, or one tick for the slow timers (a run ends between ticks).
            if (std::abs(got - due) > 1 && std::abs(off) > 0.2) countsOk = false;
            const double p99 = quantileMs(probe.lateNs[i], 0.99);
            if (p99 >= 1.0) lateOk = false;
            std::printf("%-10s %5d ms %7lld %8lld %7.2f%% %8.3f ms %8.3f %8.3f\n", timerName(kTimerOrder[i]),
                        t.Interval, static_cast<long long>(got), static_cast<long long>(due), off,
                        quantileMs(probe.lateNs[i], 0.5), p99, quantileMs(probe.lateNs[i], 1.0));
        }
        const bool allShown = probe.unpresented == 0;
        const double cpuShare = wall > 0 ? 100.0 * cpu / wall : 0;
        std::printf("instants %llu, presented after every instant: %s (%llu not), frames %llu "
                    "(%llu drawn, %llu of them in part; %llu already on screen); draw+present median %.3f ms, "
                    "p99 %.3f ms\n",
                    static_cast<unsigned long long>(probe.instants), allShown ? "yes" : "no",
                    static_cast<unsigned long long>(probe.unpresented),
                    static_cast<unsigned long long>(probe.presents),
                    static_cast<unsigned long long>(frames.presented()),
                    static_cast<unsigned long long>(frames.partial()),
                    static_cast<unsigned long long>(frames.skipped()), quantileMs(probe.presentNs, 0.5),
                    quantileMs(probe.presentNs, 0.99));
        std::printf("stalls (rhythm restarted): %llu; key events handled: %llu\n",
                    static_cast<unsigned long long>(stats.rebases), static_cast<unsigned long long>(stats.events));
        std::printf("CPU %.2f s in %.2f s: %.1f %% of one core\n", cpu, wall, cpuShare);
        // Drawing in software only what changed leaves the frames little to
        // do; with a graphics device whole frames are sent.
        const double cpuTarget = frames.drawsInPart() ? 4.0 : 10.0;
        const bool cpuOk = cpuShare < cpuTarget;
        std::printf("targets: tick counts within 0.2 %% %s; p99 lateness < 1 ms %s; every instant presented %s; "
                    "CPU < %.0f %% %s\n",
                    countsOk ? "met" : "NOT MET", lateOk ? "met" : "NOT MET", allShown ? "met" : "NOT MET",
                    cpuTarget, cpuOk ? "met" : "NOT MET");

        std::fflush(stdout);
        Label4_Click(game);  // stops and releases the music, as EXIT does
        failed = opt.strict && !(countsOk && lateOk && allShown && cpuOk);
    }
    return failed ? 1 : 0;
}
