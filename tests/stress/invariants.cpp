// SPDX-License-Identifier: MIT
#include "stress/invariants.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <type_traits>
#include <variant>

#include "shell/shell.h"

using namespace hvezda;

namespace {

size_t slot(TimerId id) { return static_cast<size_t>(id); }

std::string quoted(const std::string& v) { return "'" + v + "'"; }

// The score caption as the game reads it, and whether all of it is a number.
bool parseScore(const std::string& caption, double& out) {
    if (caption.empty()) return false;
    char* end = nullptr;
    out = std::strtod(caption.c_str(), &end);
    return end == caption.c_str() + caption.size() && std::isfinite(out);
}

std::string checkFinite(Scene& s) {
    for (const ElementRef& e : catalogue(s)) {
        auto bad = [&](float v) { return !std::isfinite(v); };
        bool broken = std::visit(
            [&](auto* p) -> bool {
                using T = std::remove_pointer_t<decltype(p)>;
                if constexpr (std::is_same_v<T, Sprite> || std::is_same_v<T, Label> || std::is_same_v<T, Image>)
                    return bad(p->Left) || bad(p->Top) || bad(p->Width) || bad(p->Height);
                else if constexpr (std::is_same_v<T, Line>)
                    return bad(p->X1) || bad(p->Y1) || bad(p->X2) || bad(p->Y2);
                else if constexpr (std::is_same_v<T, Star>)
                    return bad(p->Left) || bad(p->Top);
                else if constexpr (std::is_same_v<T, Form>)
                    return bad(p->Width) || bad(p->Height);
                else
                    return false;
            },
            e.ptr);
        if (broken) return e.name() + " has a position or size that is not a finite number";
    }
    return {};
}

enum : unsigned { T1 = 1, T2 = 2, T3 = 4, T4 = 8, T5 = 16, TBoss = 32 };

std::string checkTimers(Game& g, Phase phase) {
    Scene& s = g.scene;
    const struct {
        const Timer& timer;
        const char* name;
        unsigned bit;
        int interval;
    } timers[] = {{s.Timer1, "Timer1", T1, 10},  {s.Timer2, "Timer2", T2, 500}, {s.Timer3, "Timer3", T3, 20},
                  {s.Timer4, "Timer4", T4, 20},  {s.Timer5, "Timer5", T5, 10},  {s.Timerboss, "Timerboss", TBoss, 10}};
    unsigned on = 0;
    std::string names;
    for (const auto& t : timers) {
        if (t.timer.Interval != t.interval) return std::string(t.name) + " interval is " + std::to_string(t.timer.Interval);
        if (!t.timer.Enabled) continue;
        on |= t.bit;
        names += std::string(names.empty() ? "" : ", ") + t.name;
    }
    const unsigned play = on & ~static_cast<unsigned>(T2);  // the status line's blink may run in any phase until the end
    bool ok = false;
    switch (phase) {
        case Phase::Closed: ok = on == 0; break;
        case Phase::EndedBoss: ok = on == (T5 | TBoss); break;
        // Timerboss may run here too: when the ship's last explosion frames
        // overlap the boss's hand-over, Timer3 hands over first and Timer4
        // then stops play; the boss tick ends that game by its own test later.
        case Phase::EndedNormal: ok = play == T4 || (play == (T4 | TBoss) && g.state.bossApproach == "ano"); break;
        case Phase::Boss: ok = play == (T1 | T4 | TBoss); break;
        case Phase::Normal: ok = play == (T1 | T3 | T4); break;
    }
    if (!ok) return "timers {" + names + "} cannot run together in phase " + phaseName(phase);
    return {};
}

bool phaseMayFollow(Phase from, Phase to, const Game& g) {
    if (from == to || to == Phase::Closed) return true;
    switch (from) {
        case Phase::Normal: return to == Phase::Boss || to == Phase::EndedNormal;
        // The ship's explosion started in the approach and finished after the
        // hand-over (see checkTimers).
        case Phase::Boss:
            return to == Phase::EndedBoss || (to == Phase::EndedNormal && g.state.playerDestroyed == "ano");
        case Phase::EndedNormal: return to == Phase::EndedBoss && g.scene.Timerboss.Enabled;
        case Phase::EndedBoss:
        case Phase::Closed: return false;
    }
    return false;
}

}  // namespace

const char* phaseName(Phase p) {
    switch (p) {
        case Phase::Normal: return "normal play";
        case Phase::Boss: return "boss phase";
        case Phase::EndedNormal: return "ended in normal play";
        case Phase::EndedBoss: return "ended in the boss phase";
        case Phase::Closed: return "closed";
    }
    return "?";
}

Phase phaseOf(const Game& g) {
    const Scene& s = g.scene;
    if (!s.Form1.open) return Phase::Closed;
    if (s.Label3.Visible) return Phase::EndedBoss;  // only the boss fight's end shows the banner
    if (!s.Form1.KeyPreview) return Phase::EndedNormal;  // only the ship's destruction cuts the keys
    if (s.Timerboss.Enabled) return Phase::Boss;
    return Phase::Normal;
}

namespace {

// The one-way values the next check holds the game to.
void remember(const Game& g, Watch& w, double score, Phase phase) {
    const GameState& st = g.state;
    w.clock = g.clock;
    w.score = score;
    w.approach = st.bossApproach == "ano";
    w.destroyed = st.playerDestroyed == "ano";
    w.refillSpent = !g.scene.life.Visible;
    w.fired = w.fired || st.shotIndex >= 0;
    w.bossExplosionStep = st.bossExplosionStep;
    w.playerExplosionStep = st.playerExplosionStep;
    w.shipExplosionStep = st.shipExplosionStep;
    w.phase = phase;
}

}  // namespace

Watch watchFrom(const Game& g) {
    Watch w;
    rebase(g, w);
    return w;
}

void rebase(const Game& g, Watch& w) {
    const GameState& st = g.state;
    double score = 0;
    remember(g, w, parseScore(g.scene.score.Caption, score) ? score : 0, phaseOf(g));
    w.fired = st.shotIndex >= 0;
    w.baseTicks = w.ticks;
    w.baseBannerGreen = st.bannerGreen;
    w.baseBossStep = st.bossExplosionStep;
    w.basePlayerStep = st.playerExplosionStep;
    w.baseShipStep = st.shipExplosionStep;
}

void countTick(Watch& w, TimerId id) { ++w.ticks[slot(id)]; }

std::string checkInvariants(Game& g, Watch& w) {
    const GameState& st = g.state;
    const Scene& s = g.scene;

    // The record's flags hold only their own states.
    if (st.shotIndex < -1 || st.shotIndex > 11) return "shotIndex is " + std::to_string(st.shotIndex);
    if (w.fired && st.shotIndex == -1) return "shotIndex went back to -1 after a shot was tried";
    struct Flag {
        const char* name;
        const std::string& value;
        std::string_view set, other;  // the states besides empty
    };
    const Flag flagStates[] = {{"craft1Destroyed", st.craft1Destroyed, "ano", "ne"},
                               {"craft2Destroyed", st.craft2Destroyed, "ano", "ne"},
                               {"craft3Destroyed", st.craft3Destroyed, "ano", "ne"},
                               {"craft4Destroyed", st.craft4Destroyed, "ano", "ne"},
                               {"keyUp", st.keyUp, "up", "up"},
                               {"keyDown", st.keyDown, "down", "down"},
                               {"keyLeft", st.keyLeft, "LEFT", "LEFT"},
                               {"keyRight", st.keyRight, "RIGHT", "RIGHT"},
                               {"bossApproach", st.bossApproach, "ano", "ano"},
                               {"playerDestroyed", st.playerDestroyed, "ano", "ano"}};
    for (const Flag& f : flagStates)
        if (!f.value.empty() && f.value != f.set && f.value != f.other) return std::string(f.name) + " is " + quoted(f.value);
    if (st.bossDirection != "right" && st.bossDirection != "left") return "bossDirection is " + quoted(st.bossDirection);

    // Flags that nothing clears, once set, stay set.
    if (w.approach && st.bossApproach != "ano") return "bossApproach was cleared";
    if (w.destroyed && st.playerDestroyed != "ano") return "playerDestroyed was cleared";
    if (w.refillSpent && s.life.Visible) return "the spent refill came back";

    // Counters only count up from 0, and no faster than their timer ticks.
    const std::pair<const char*, Counter> counters[] = {
        {"bannerGreen", st.bannerGreen},
        {"bossExplosionStep", st.bossExplosionStep},
        {"playerExplosionStep", st.playerExplosionStep},
        {"shipExplosionStep", st.shipExplosionStep},
        {"craft1ExplosionStep", st.craft1ExplosionStep},
        {"craft2ExplosionStep", st.craft2ExplosionStep},
        {"craft3ExplosionStep", st.craft3ExplosionStep},
        {"craft4ExplosionStep", st.craft4ExplosionStep}};
    for (const auto& [name, v] : counters)
        if (v < 0) return std::string(name) + " is negative: " + std::to_string(v);
    // Ticks since the watch's base.
    const auto ticks = [&](TimerId id) { return static_cast<Counter>(w.ticks[slot(id)] - w.baseTicks[slot(id)]); };
    // Only the banner's fade step raises bannerGreen, by 10 each Timer5 tick.
    if (st.bannerGreen != w.baseBannerGreen + 10 * ticks(TimerId::Timer5))
        return "bannerGreen is " + std::to_string(st.bannerGreen) + " after " +
               std::to_string(ticks(TimerId::Timer5)) + " Timer5 ticks";
    if (st.bossExplosionStep < w.bossExplosionStep) return "bossExplosionStep went down";
    if (st.playerExplosionStep < w.playerExplosionStep) return "playerExplosionStep went down";
    if (st.shipExplosionStep < w.shipExplosionStep) return "shipExplosionStep went down";
    if (st.bossExplosionStep - w.baseBossStep > ticks(TimerId::Timerboss))
        return "bossExplosionStep ran ahead of the boss ticks";
    if (st.playerExplosionStep - w.basePlayerStep > ticks(TimerId::Timerboss))
        return "playerExplosionStep ran ahead of the boss ticks";
    if (st.shipExplosionStep - w.baseShipStep > ticks(TimerId::Timer4))
        return "shipExplosionStep ran ahead of the combat ticks";

    // The score is a whole, finite, never falling number.
    double score = 0;
    if (!parseScore(s.score.Caption, score)) return "score caption " + quoted(s.score.Caption) + " is not a number";
    if (score < w.score) return "score fell from " + std::to_string(w.score) + " to " + s.score.Caption;
    if (score != std::floor(score)) return "score " + s.score.Caption + " is not whole";

    if (g.clock < w.clock) return "the clock went back";

    std::string err = checkFinite(g.scene);
    if (!err.empty()) return err;

    // Timers run only in the combinations the phases allow, and phases only go forward.
    const Phase phase = phaseOf(g);
    err = checkTimers(g, phase);
    if (!err.empty()) return err;
    if (!phaseMayFollow(w.phase, phase, g))
        return std::string("phase went from ") + phaseName(w.phase) + " to " + phaseName(phase);
    if (s.Timerboss.Enabled && st.bossApproach != "ano") return "Timerboss runs without bossApproach";
    if (phase == Phase::EndedNormal && !(st.playerDestroyed == "ano" && st.shipExplosionStep >= 4))
        return "key preview is off while the ship is not destroyed";
    if (phase == Phase::EndedBoss && st.bossExplosionStep < 1 && st.playerExplosionStep < 1)
        return "the banner shows while neither energy ran out";

    remember(g, w, score, phase);
    return {};
}
