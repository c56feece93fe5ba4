// SPDX-License-Identifier: MIT
#include "fuzz_entry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "musicplayer/recording.h"
#include "shell/shell.h"
#include "record/replay.h"
#include "sim/script.h"
#ifdef HVEZDA_FUZZ_HALL
#include "hall/rules.h"
#endif

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "fuzz: %s\n", why.c_str());  // stderr is unbuffered
    std::abort();
}

// Thrown by the first tick past an input's budget of virtual time.
struct OutOfTime {};

// An error names a line of the text and gives a reason.
void namesALine(const std::string& error, const std::string& text) {
    unsigned long n = 0;
    int reason = 0;
    const auto lines = static_cast<unsigned long>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (std::sscanf(error.c_str(), "line %lu: %n", &n, &reason) != 1 || n == 0 || n > lines || reason == 0 ||
        error.size() <= static_cast<size_t>(reason))
        fail("error does not name a line of the input with a reason: " + error);
}

// Where a game stands, read from the flags only the phase changes write.
enum class Phase { Normal, Boss, EndedNormal, EndedBoss, Closed };
Phase phaseOf(const Game& g) {
    const Scene& s = g.scene;
    if (!s.Form1.open) return Phase::Closed;
    if (s.Label3.Visible) return Phase::EndedBoss;       // only the boss fight's end shows the banner
    if (!s.Form1.KeyPreview) return Phase::EndedNormal;  // only the ship's destruction cuts the keys
    return s.Timerboss.Enabled ? Phase::Boss : Phase::Normal;
}

// A game on the driver checked at every tick: the clock and the score never go
// back, phases only go forward, and each phase runs only its own timers.
struct Watched {
    Sim sim;
    int64_t clock = 0;
    double score = 0;
    Phase phase = Phase::Normal;
    explicit Watched(uint64_t seed) {
        startSim(sim, SimOptions{seed, {}});
        sim.game.onTick = [this](Game&, TimerId id) { check(std::string("before a ") + timerName(id) + " tick"); };
    }
    void rebase() { score = std::strtod(sim.game.scene.score.Caption.c_str(), nullptr); }
    void check(const std::string& where) {
        if (const std::string e = broken(); !e.empty()) fail("at " + std::to_string(sim.game.clock) + " ms, " + where + ": " + e);
    }
    std::string broken() {
        const Game& g = sim.game;
        const Scene& s = g.scene;
        char* end = nullptr;
        const double now = std::strtod(s.score.Caption.c_str(), &end);
        if (s.score.Caption.empty() || *end || now < score) return "score went to '" + s.score.Caption + "'";
        if (g.clock < clock) return "the clock went back";
        const Phase p = phaseOf(g);
        // Timer2 (the status line's blink) may run in any phase until the end.
        const unsigned on = s.Timer1.Enabled | s.Timer3.Enabled << 1 | s.Timer4.Enabled << 2 |
                            s.Timer5.Enabled << 3 | s.Timerboss.Enabled << 4;
        const bool approach = g.state.bossApproach == "ano";
        bool ok = p == Phase::Closed ? on == 0 && !s.Timer2.Enabled
                  : p == Phase::EndedBoss ? on == 0b11000 && !s.Timer2.Enabled
                  // The ship's last explosion frames may overlap the boss's hand-over.
                  : p == Phase::EndedNormal ? on == 0b00100 || (on == 0b10100 && approach)
                  : p == Phase::Boss ? on == 0b10101 && approach
                                     : on == 0b00111;
        if (!ok) return "timers " + std::to_string(on) + " cannot run in phase " + std::to_string(int(p));
        if (p < phase) return "phase went back from " + std::to_string(int(phase)) + " to " + std::to_string(int(p));
        clock = g.clock, score = now, phase = p;
        return {};
    }
};

}  // namespace

void fuzzScript(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    auto sim = std::make_unique<Sim>();
    startSim(*sim, SimOptions{size, {}});
    sim->game.onTick = [](Game& g, TimerId) {
        if (g.clock > kScriptBudgetMs) throw OutOfTime{};
    };
    std::istringstream in(script);
    std::ostringstream out;
    SimResult r;
    try {
        r = runSimScript(*sim, in, out);
    } catch (const OutOfTime&) { return; }
    // The reader's promises: 0 with no error, or 1 or 2 naming a line that exists.
    if (r.exitCode == 0 && !r.error.empty()) fail("status 0 with an error: " + r.error);
    if (r.exitCode != 0 && r.exitCode != 1 && r.exitCode != 2) fail("status " + std::to_string(r.exitCode));
    if (r.exitCode != 0) namesALine(r.error, script);
}

void fuzzRecording(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    auto sim = std::make_unique<Sim>();
    startSim(*sim, SimOptions{size, {}});
    RecordingLimits limits;
    limits.longestPlayMs = kScriptBudgetMs;
    Verdict v = checkRecording(sim->game, in, limits);
    // Checking runs nothing.
    if (sim->game.clock != 0 || !sim->game.random.queued.empty()) fail("checking the recording ran it");
    if (v.status == Verdict::Verified) v = playRecording(sim->game, in, limits);
    if (sim->game.clock > kScriptBudgetMs) fail("played past the limit: " + std::to_string(sim->game.clock) + " ms");
    if (v.status == Verdict::Stopped) fail("stopped with no viewer: " + v.message);
    if (v.status != Verdict::Verified) namesALine(v.message, text);
}

#ifdef HVEZDA_FUZZ_HALL
void fuzzHall(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    hall::Judged game;
    std::string why;
    if (!hall::judge(body, game, why)) {
        if (why.empty()) fail("refused without a reason");
    } else if (!hall::wellFormedId(game.id) || game.id != hall::gameId(body)) fail("a judged game without its identity");
    else if (game.lengthMs < 0 || game.lengthMs > hall::kLongestGameMs) fail("a game of " + std::to_string(game.lengthMs) + " ms");
}
#endif

const char* fuzzKeys(const uint8_t* data, size_t size) {
    auto w = std::make_unique<Watched>(size);
    Game& g = w->sim.game;
    w->check("after start-up");
    int64_t left = 120000;  // virtual ms for one input
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const uint8_t op = data[i];
        const int code = data[i + 1] | (data[i + 2] << 8);
        const int shift = op >> 3;
        switch (op & 7) {
            case 0: case 1: keyDownEvent(g, code, shift); break;
            case 2: case 3: keyUpEvent(g, code, shift); break;
            case 4: {
                const int64_t ms = std::min<int64_t>(code % 512, left);
                left -= ms;
                advance(g, ms);
                break;
            }
            case 5: g.random.queued.push_back(static_cast<float>(code) / 65536.0f); break;
            case 6:
                switch (code % 4) {
                    case 0: g.scene.score.Caption = "1001"; break;
                    case 1: g.scene.energy.Top = g.scene.energy.Top + 360; break;
                    case 2: g.scene.bossenergy.Top = g.scene.bossenergy.Top + 600; break;
                    case 3: (code & 4) ? Label5_Click(g) : Label6_Click(g); break;
                }
                w->rebase();
                break;
            case 7: keyDownEvent(g, 88, 0), keyUpEvent(g, 88, 0); break;
        }
        w->check("after event " + std::to_string(i / 3));
    }
    const Phase end = phaseOf(g);
    const char* ending = end == Phase::EndedNormal           ? "game_over_in_normal_play"
                         : end != Phase::EndedBoss             ? "no_end"
                         : g.scene.Label3.Caption == "WINNER" ? "winner"
                                                               : "game_over_in_the_boss_phase";
    // Whatever happened, EXIT stops and releases the music, then closes everything.
    Label4_Click(g);
    w->check("after EXIT");
    const std::vector<std::string>& calls = w->sim.music->calls();
    const std::string h = std::to_string(g.state.musicHandle);
    if (calls.size() < 2 || calls[calls.size() - 2] != "Stop(" + h + ")" || calls.back() != "Destroy(" + h + ")")
        fail("EXIT did not stop and release the music");
    if (!w->sim.exited) fail("EXIT did not close the windows");
    return ending;
}
