// Whole games with a scripted player and fixed random draws, from start-up
// through normal play, the boss's approach and fight, and minutes past the end,
// with every invariant checked before and after every tick.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "player/player.h"
#include "scene/score.h"
#include "shell/shell.h"
#include "stress/invariants.h"

using namespace hvezda;

namespace {

// A fixed generator, so each run is the same everywhere.
struct Lcg {
    uint32_t s;
    uint32_t next() { return s = s * 1664525u + 1013904223u; }
    float uniform() { return static_cast<float>(next() >> 8) / 16777216.0f; }
};

// Normal play: a four-second round of held arrows, X in bursts, C once.
void roundOfKeys(Game& g, int64_t t) {
    const auto down = [&](int k) { keyDownEvent(g, k, 0); };
    const auto up = [&](int k) { keyUpEvent(g, k, 0); };
    switch (t % 4000) {
        case 0: down(keys::left); break;
        case 700: up(keys::left), down(keys::right); break;
        case 1900: up(keys::right), down(keys::up); break;
        case 2300: up(keys::up), down(keys::down), down(keys::left); break;
        case 2800: up(keys::down), down(keys::right); break;  // left and right together
        case 3200: up(keys::left); break;
        case 3600: up(keys::right); break;
    }
    if (t % 2000 < 1000 && t % 30 == 0) down(keys::x);
    if (t == 3000) down(keys::c);
}

// The boss fight: steer under the boss and fire, either just above its waiting
// shots (where none can drop) or low, holding fire, into its shots until the
// ship is gone; after that the low player fires from the ship's last place.
void chaseBoss(Game& g, bool high) {
    const Scene& s = g.scene;
    const float ship = s.Picture1.Left + s.Picture1.Width / 2;
    const float boss = s.enemyboss.Left + s.enemyboss.Width / 2;
    const auto hold = [&](int key, bool on) { on ? keyDownEvent(g, key, 0) : keyUpEvent(g, key, 0); };
    hold(keys::right, ship < boss - 200);
    hold(keys::left, ship > boss + 200);
    hold(keys::up, high && s.Picture1.Top >= 3220);
    hold(keys::down, high ? s.Picture1.Top < 3000 : s.Picture1.Top < 6000);
    if (high || !s.Picture1.Visible) keyDownEvent(g, keys::x, 0);
}

struct Outcome {
    std::string ending;  // "normal", or the banner's caption
    bool bothExploded = false;
    int kills = 0;
};

// Plays one game. From `nudgeAt` on (if the ship still flies) the score is put
// above 1000, which sends the boss down; the fight itself is played for real.
Outcome playGame(uint32_t seed, int64_t nudgeAt, bool high) {
    Game g;
    Lcg lcg{seed};
    g.random.seed = [&] { return static_cast<uint64_t>(lcg.next()); };
    Form_Load(g);
    Scene& s = g.scene;
    Watch watch = watchFrom(g);
    std::string broken;
    g.onTick = [&](Game& game, TimerId id) {
        if (broken.empty()) broken = checkInvariants(game, watch);
        countTick(watch, id);
    };

    Outcome out;
    int64_t endedAt = -1;
    for (int64_t t = 0; t < 6 * 60'000 && broken.empty(); t += 10) {
        while (g.random.queued.size() < 8) g.random.queued.push_back(lcg.uniform());
        if (t == nudgeAt && s.Timer3.Enabled) {
            s.score.Caption = "1008";
            rebase(g, watch);
        }
        if (s.Timerboss.Enabled) {
            chaseBoss(g, high);
        } else {
            roundOfKeys(g, t);
        }
        if (broken.empty()) broken = checkInvariants(g, watch);  // what the keys did
        const double before = scoreValue(s);
        advance(g, 10);
        if (broken.empty()) broken = checkInvariants(g, watch);
        out.kills += static_cast<int>((scoreValue(s) - before) / 12);

        const Phase phase = phaseOf(g);
        if (phase == Phase::Normal && s.Picture1.Visible) {
            // One step past each flight limit at most, whatever the ship's picture.
            EXPECT_TRUE(s.Picture1.Left >= 50 && s.Picture1.Left <= 8960 && s.Picture1.Top >= 1400 &&
                        s.Picture1.Top <= 7690)
                << "ship at " << s.Picture1.Left << ", " << s.Picture1.Top;
        }
        if (endedAt < 0 && (phase == Phase::EndedNormal || phase == Phase::EndedBoss)) endedAt = g.clock;
        if (endedAt >= 0 && g.clock - endedAt >= 60'000) break;
    }
    EXPECT_EQ(broken, "") << "seed " << seed << " at " << g.clock << " ms";
    EXPECT_GE(endedAt, 0) << "seed " << seed << ": the game did not end";
    if (phaseOf(g) == Phase::EndedNormal) {
        out.ending = "normal";
        EXPECT_EQ(s.Label1.Caption, "GAME OVER");
    } else {
        out.ending = s.Label3.Caption;
        EXPECT_EQ(s.Label3.ForeColor, 0x0000FF00u);  // long since faded in
    }
    out.bothExploded = g.state.playerExplosionStep >= 4 && g.state.bossExplosionStep >= 4;
    return out;
}

TEST(ScriptedGames, ReachEveryEndingAndKeepEveryInvariantLongAfter) {
    std::set<std::string> endings;
    bool endAfterEnd = false;
    int kills = 0;
    struct Run {
        uint32_t seed;
        int64_t nudgeAt;
        bool high;
    };
    for (const Run& r : {Run{20240611, -1, false}, Run{1, 8000, true}, Run{2, 5000, false}}) {
        const Outcome o = playGame(r.seed, r.nudgeAt, r.high);
        endings.insert(o.ending);
        endAfterEnd = endAfterEnd || (o.ending == "GAME OVER" && o.bothExploded);
        kills += o.kills;
    }
    // An end in normal play, both ends of the boss fight, and a lost fight that
    // goes on until shots from the hidden ship's last place finish the boss too.
    EXPECT_EQ(endings, (std::set<std::string>{"normal", "WINNER", "GAME OVER"}));
    EXPECT_TRUE(endAfterEnd);
    EXPECT_GT(kills, 20);  // the runs really fought
}

}  // namespace
