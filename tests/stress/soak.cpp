// SPDX-License-Identifier: MIT
#include "stress/soak.h"

#include <algorithm>
#include <memory>
#include <random>
#include <sstream>

#include "shell/shell.h"
#include "sim/script.h"

using namespace hvezda;

namespace {

constexpr int kGameKeys[] = {37, 38, 39, 40, 67, 88};

// A driver game whose every tick and every line is checked.
struct Checked {
    Sim sim;
    Watch watch;
    std::string failure;
    uint64_t ticks = 0;
    std::vector<std::string> script;
    std::ostringstream sink;

    explicit Checked(uint64_t seed) {
        startSim(sim, SimOptions{seed, {}});
        watch = watchFrom(sim.game);
        sim.game.onTick = [this](Game& g, TimerId id) {
            ++ticks;
            if (failure.empty()) {
                // The state the previous handler left, before this tick runs.
                const std::string e = checkInvariants(g, watch);
                if (!e.empty())
                    failure = "at " + std::to_string(g.clock) + " ms, before the " + timerName(id) + " tick: " + e;
            }
            countTick(watch, id);
        };
        const std::string e = checkInvariants(sim.game, watch);
        if (!e.empty()) failure = "after start-up: " + e;
    }

    // Runs one line; false once anything has failed.
    bool run(const std::string& line) {
        script.push_back(line);
        std::string err;
        if (!runSimLine(sim, line, sink, err)) {
            failure = "the driver refused line " + std::to_string(script.size()) + " '" + line + "': " + err;
            return false;
        }
        sink.str({});
        if (!failure.empty()) {
            failure = "line " + std::to_string(script.size()) + " '" + line + "': " + failure;
            return false;
        }
        // A written value or a tick run out of turn is taken as given from here on.
        if (line.rfind("set ", 0) == 0 || line.rfind("tick ", 0) == 0) {
            rebase(sim.game, watch);
            return true;
        }
        const std::string e = checkInvariants(sim.game, watch);
        if (!e.empty()) {
            failure = "after line " + std::to_string(script.size()) + " '" + line + "': " + e;
            return false;
        }
        return true;
    }
};

Ending endingOf(const Game& g) {
    const Scene& s = g.scene;
    if (s.Label3.Visible) return s.Label3.Caption == "WINNER" ? Ending::Winner : Ending::GameOverBoss;
    if (!s.Form1.KeyPreview) return Ending::GameOverNormal;
    return Ending::None;
}

class Player {
public:
    Player(uint64_t seed) : rng_(seed ^ 0xA5A5F00DDEADBEEFull) {}

    double unit() { return std::uniform_real_distribution<double>(0, 1)(rng_); }
    int64_t between(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }

    // Mostly the game's own keys (X most of all), a quarter any 16-bit code.
    int keyCode() {
        const double r = unit();
        if (r < 0.30) return 88;
        if (r < 0.70) return kGameKeys[between(0, 3)];
        if (r < 0.75) return 67;
        return static_cast<int>(between(0, 65535));
    }

    std::string advanceLine(int64_t maxMs) {
        const double r = unit();
        int64_t ms;
        if (r < 0.10) ms = 0;
        else if (r < 0.70) ms = between(1, 30);
        else if (r < 0.95) ms = between(31, 200);
        else ms = between(201, 2000);
        return "advance " + std::to_string(std::min(ms, maxMs));
    }

    std::string randomLine() {
        std::string line = "random";
        const int64_t n = between(1, 4);
        for (int64_t i = 0; i < n; ++i) {
            const double r = unit();
            float v;
            if (r < 0.2) v = 0.0f;
            else if (r < 0.3) v = 0.5f;
            else if (r < 0.5) v = 0.99999994f;  // the largest float below 1
            else v = static_cast<float>(unit()) * 0.99999994f;
            line += " " + formatFloat(v);
        }
        return line;
    }

    // One random event for the game, as driver lines; no advance is longer than maxAdvanceMs.
    std::vector<std::string> nextEvent(uint64_t& keyEvents, int64_t maxAdvanceMs) {
        const double r = unit();
        if (r < 0.40) return {advanceLine(maxAdvanceMs)};
        if (r < 0.65) {
            const int code = keyCode();
            if (std::find(held_.begin(), held_.end(), code) == held_.end()) held_.push_back(code);
            ++keyEvents;
            return {"keydown " + std::to_string(code) + shiftSuffix()};
        }
        if (r < 0.85) {
            int code;
            if (!held_.empty() && unit() < 0.8) {
                const size_t i = static_cast<size_t>(between(0, static_cast<int64_t>(held_.size()) - 1));
                code = held_[i];
            } else {
                code = keyCode();
            }
            held_.erase(std::remove(held_.begin(), held_.end(), code), held_.end());
            ++keyEvents;
            return {"keyup " + std::to_string(code) + shiftSuffix()};
        }
        if (r < 0.93) {
            keyEvents += 2;
            return {"keydown 88", "keyup 88"};
        }
        if (r < 0.98) return {randomLine()};
        return {unit() < 0.5 ? "click Label5" : "click Label6"};
    }

private:
    std::string shiftSuffix() {
        const double r = unit();
        if (r < 0.7) return {};
        if (r < 0.95) return " " + std::to_string(between(0, 7));
        return " " + std::to_string(between(0, 65535));
    }

    std::mt19937_64 rng_;
    std::vector<int> held_;
};

std::string setLine(const char* target, float v) { return std::string("set ") + target + " " + formatFloat(v); }

// The writes that steer a game towards the end it aims at. Returns the lines to run now.
std::vector<std::string> nudges(Aim aim, const Game& g, int64_t& nextNudge, bool& scorePushed) {
    std::vector<std::string> out;
    const Scene& s = g.scene;
    const Phase p = phaseOf(g);
    // The boss's shots can drain a full shield within a second: watched at every step.
    if (aim == Aim::Winner && (p == Phase::Normal || p == Phase::Boss) && s.energy.Top > -2000)
        out.push_back("set energy.Top -4200");
    // Likewise the player's hits on the boss, when the shield is to run out first.
    if (aim == Aim::GameOverBoss && p == Phase::Boss && s.bossenergy.Top > -1000)
        out.push_back("set bossenergy.Top -4080");
    if (g.clock < nextNudge) return out;
    const bool approach = g.state.bossApproach == "ano";
    switch (aim) {
        case Aim::Free:
        case Aim::EarlyExit: return out;
        case Aim::GameOverNormal:
            if (p == Phase::Normal) out.push_back(setLine("energy.Top", s.energy.Top + 360));
            nextNudge = g.clock + 2000;
            return out;
        case Aim::GameOverBoss:
        case Aim::Winner:
            if (p == Phase::Normal && !approach && g.clock > 10000 && !scorePushed) {
                out.push_back("set score.Caption 1001");
                scorePushed = true;
            }
            if (p == Phase::Boss) {
                if (aim == Aim::GameOverBoss) out.push_back(setLine("energy.Top", s.energy.Top + 360));
                else out.push_back(setLine("bossenergy.Top", s.bossenergy.Top + 300));
            }
            nextNudge = g.clock + 1000;
            return out;
    }
    return out;
}

SoakGameResult finish(Checked& c, Ending ending) {
    SoakGameResult r;
    r.failure = c.failure;
    r.script = std::move(c.script);
    r.ending = ending;
    r.exited = c.sim.exited;
    r.virtualMs = c.sim.game.clock;
    r.ticks = c.ticks;
    return r;
}

// EXIT stops and releases the music the game started, in that order.
std::string checkMusicAfterExit(const Checked& c) {
    const std::vector<std::string>& calls = recordedPlayerCalls();
    const std::string h = std::to_string(c.sim.game.state.musicHandle);
    if (calls.size() < 2 || calls[calls.size() - 2] != "Stop(" + h + ")" || calls.back() != "Destroy(" + h + ")")
        return "EXIT did not stop and release the music (last call: " + (calls.empty() ? "none" : calls.back()) + ")";
    if (!c.sim.exited) return "EXIT did not close the windows";
    return {};
}

}  // namespace

const char* aimName(Aim a) {
    switch (a) {
        case Aim::Free: return "free";
        case Aim::GameOverNormal: return "game-over-normal";
        case Aim::GameOverBoss: return "game-over-boss";
        case Aim::Winner: return "winner";
        case Aim::EarlyExit: return "early-exit";
    }
    return "?";
}

const char* endingName(Ending e) {
    switch (e) {
        case Ending::None: return "no end";
        case Ending::GameOverNormal: return "GAME OVER in normal play";
        case Ending::GameOverBoss: return "GAME OVER in the boss phase";
        case Ending::Winner: return "WINNER";
    }
    return "?";
}

SoakGameResult soakGame(uint64_t seed, Aim aim, int64_t maxMs) {
    auto c = std::make_unique<Checked>(seed);
    Player player(seed);
    const Game& g = c->sim.game;
    int64_t nextNudge = 0;
    bool scorePushed = false;
    int64_t stopAt = maxMs;
    if (aim == Aim::EarlyExit) stopAt = player.between(0, std::min<int64_t>(maxMs, 120000));
    if (aim == Aim::GameOverBoss || aim == Aim::Winner) c->run("set score.Caption 1000");  // the next kill calls the boss

    Ending ending = Ending::None;
    uint64_t keyEvents = 0;
    while (c->failure.empty()) {
        if (ending == Ending::None) {
            ending = endingOf(g);
            // Play on a while past the end: the ticks that still run, and keys
            // that still reach the game after a boss-phase end.
            if (ending != Ending::None) stopAt = g.clock + player.between(500, 30000);
        }
        if (g.clock >= stopAt) {
            if (c->run("click Label4")) {
                const std::string e = checkMusicAfterExit(*c);
                if (!e.empty()) c->failure = e;
            }
            break;
        }
        for (const std::string& line : nudges(aim, g, nextNudge, scorePushed))
            if (!c->run(line)) break;
        // A long advance in the boss fight can drain a full shield before the
        // Winner aim refills it.
        const int64_t maxAdvance = aim == Aim::Winner && phaseOf(g) == Phase::Boss ? 50 : 2000;
        for (const std::string& line : player.nextEvent(keyEvents, maxAdvance))
            if (!c->run(line)) break;
    }
    SoakGameResult r = finish(*c, ending);
    r.keyEvents = keyEvents;
    return r;
}

SoakGameResult replayWithChecks(uint64_t seed, const std::vector<std::string>& script) {
    auto c = std::make_unique<Checked>(seed);
    for (const std::string& line : script)
        if (c->sim.exited || !c->run(line)) break;
    return finish(*c, endingOf(c->sim.game));
}
