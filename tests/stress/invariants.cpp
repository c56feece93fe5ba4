// SPDX-License-Identifier: MIT
#include "stress/invariants.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <type_traits>
#include <variant>

#include "shell/shell.h"

using namespace hvezda;

namespace {

size_t slot(TimerId id) { return static_cast<size_t>(id); }

bool oneOf(const std::string& v, std::initializer_list<std::string_view> allowed) {
    for (std::string_view a : allowed)
        if (v == a) return true;
    return false;
}

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

struct TimerSet {
    bool t1, t2, t3, t4, t5, boss;
};

TimerSet enabledTimers(const Scene& s) {
    return {s.Timer1.Enabled, s.Timer2.Enabled, s.Timer3.Enabled, s.Timer4.Enabled, s.Timer5.Enabled,
            s.Timerboss.Enabled};
}

std::string describe(const TimerSet& t) {
    std::string out = "{";
    auto add = [&](bool on, const char* name) {
        if (!on) return;
        if (out.size() > 1) out += ", ";
        out += name;
    };
    add(t.t1, "Timer1");
    add(t.t2, "Timer2");
    add(t.t3, "Timer3");
    add(t.t4, "Timer4");
    add(t.t5, "Timer5");
    add(t.boss, "Timerboss");
    return out + "}";
}

std::string checkTimers(const Game& g, Phase phase) {
    const Scene& s = g.scene;
    const TimerSet t = enabledTimers(s);
    bool ok = false;
    switch (phase) {
        case Phase::Closed: ok = !t.t1 && !t.t2 && !t.t3 && !t.t4 && !t.t5 && !t.boss; break;
        case Phase::EndedBoss: ok = !t.t1 && !t.t2 && !t.t3 && !t.t4 && t.t5 && t.boss; break;
        // Timerboss may run here too: when the ship's last explosion frames
        // overlap the boss's hand-over, Timer3 hands over first and Timer4
        // then stops play; the boss tick ends that game by its own test later.
        case Phase::EndedNormal:
            ok = !t.t1 && !t.t3 && t.t4 && !t.t5 && (!t.boss || g.state.bossApproach == "ano");
            break;
        case Phase::Boss: ok = t.t1 && !t.t3 && t.t4 && !t.t5 && t.boss; break;
        case Phase::Normal: ok = t.t1 && t.t3 && t.t4 && !t.t5 && !t.boss; break;
    }
    if (!ok) return std::string("timers ") + describe(t) + " cannot run together in phase " + phaseName(phase);
    const int intervals[6] = {s.Timer1.Interval, s.Timer2.Interval, s.Timer3.Interval,
                              s.Timer4.Interval, s.Timer5.Interval, s.Timerboss.Interval};
    const int want[6] = {10, 500, 20, 20, 10, 10};
    for (size_t i = 0; i < 6; ++i)
        if (intervals[i] != want[i])
            return std::string(timerName(kTimerOrder[i])) + " interval is " + std::to_string(intervals[i]);
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

Watch watchFrom(const Game& g) {
    Watch w;
    rebase(g, w);
    return w;
}

void rebase(const Game& g, Watch& w) {
    const GameState& st = g.state;
    w.clock = g.clock;
    double score = 0;
    w.score = parseScore(g.scene.score.Caption, score) ? score : 0;
    w.approach = st.bossApproach == "ano";
    w.destroyed = st.playerDestroyed == "ano";
    w.refillSpent = !g.scene.life.Visible;
    w.fired = st.shotIndex >= 0;
    w.bossExplosionStep = st.bossExplosionStep;
    w.playerExplosionStep = st.playerExplosionStep;
    w.shipExplosionStep = st.shipExplosionStep;
    w.phase = phaseOf(g);
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
    const std::pair<const char*, const std::string*> crafts[] = {{"craft1Destroyed", &st.craft1Destroyed},
                                                                {"craft2Destroyed", &st.craft2Destroyed},
                                                                {"craft3Destroyed", &st.craft3Destroyed},
                                                                {"craft4Destroyed", &st.craft4Destroyed}};
    for (const auto& [name, v] : crafts)
        if (!oneOf(*v, {"", "ano", "ne"})) return std::string(name) + " is " + quoted(*v);
    if (!oneOf(st.keyUp, {"", "up"})) return "keyUp is " + quoted(st.keyUp);
    if (!oneOf(st.keyDown, {"", "down"})) return "keyDown is " + quoted(st.keyDown);
    if (!oneOf(st.keyLeft, {"", "LEFT"})) return "keyLeft is " + quoted(st.keyLeft);
    if (!oneOf(st.keyRight, {"", "RIGHT"})) return "keyRight is " + quoted(st.keyRight);
    if (!oneOf(st.bossApproach, {"", "ano"})) return "bossApproach is " + quoted(st.bossApproach);
    if (!oneOf(st.playerDestroyed, {"", "ano"})) return "playerDestroyed is " + quoted(st.playerDestroyed);
    if (!oneOf(st.bossDirection, {"right", "left"})) return "bossDirection is " + quoted(st.bossDirection);

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

    w.clock = g.clock;
    w.score = score;
    w.approach = st.bossApproach == "ano";
    w.destroyed = st.playerDestroyed == "ano";
    w.refillSpent = !s.life.Visible;
    w.fired = w.fired || st.shotIndex >= 0;
    w.bossExplosionStep = st.bossExplosionStep;
    w.playerExplosionStep = st.playerExplosionStep;
    w.shipExplosionStep = st.shipExplosionStep;
    w.phase = phase;
    return {};
}
