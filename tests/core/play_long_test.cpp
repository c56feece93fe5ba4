// Several minutes of ordinary play with scripted keys and fixed random values,
// checking after every 10 ms that the game stays in a state normal play allows.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "enemies/craft.h"
#include "player/player.h"
#include "shell/shell.h"

namespace {

// A fixed generator, so the run is the same everywhere.
struct Lcg {
    uint32_t s;
    float next() {
        s = s * 1664525u + 1013904223u;
        return static_cast<float>(s >> 8) / 16777216.0f;
    }
};

// A four-second round of held arrows, repeated; X in bursts; C once, early.
void pressKeys(Game& g, int64_t t) {
    auto down = [&](int k) { keyDownEvent(g, k, 0); };
    auto up = [&](int k) { keyUpEvent(g, k, 0); };
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

bool isCraftFlag(const std::string& f) { return f.empty() || f == "ano" || f == "ne"; }
bool isOnOffFlag(const std::string& f) { return f.empty() || f == "ano"; }

struct Tally {
    int launches = 0, kills = 0, respawns = 0, gamesOver = 0, refills = 0;
};

// One game from start-up until two seconds after its end (or two minutes),
// checked after every 10 ms step. Returns the virtual time it took.
int64_t playOneGame(Lcg& lcg, Tally& tally) {
    Game g;
    uint64_t fallbackSeed = 0;
    g.random.seed = [&] { return ++fallbackSeed; };
    Form_Load(g);
    const Scene& s = g.scene;
    const GameState& st = g.state;

    double lastScore = 0;
    Counter lastShipStep = 0;
    float lastCraft1Top = s.enemycraft1.Top;
    std::array<float, 4> frozenTops{};
    int64_t overAt = -1;

    for (int64_t t = 0; t < 120000; t += 10) {
        while (g.random.queued.size() < 8) g.random.queued.push_back(lcg.next());
        const int32_t indexBefore = st.shotIndex;
        const bool slotFree = !s.fire[static_cast<size_t>(indexBefore < 11 ? indexBefore + 1 : 0)].Visible;
        pressKeys(g, t);
        if (st.shotIndex != indexBefore && slotFree) ++tally.launches;
        advance(g, 10);

        SCOPED_TRACE("at " + std::to_string(g.clock) + " ms");
        EXPECT_GE(st.shotIndex, -1);
        EXPECT_LE(st.shotIndex, 11);
        for (const CraftSlot& c : kCraft) {
            EXPECT_TRUE(isCraftFlag(st.*c.destroyed)) << st.*c.destroyed;
            EXPECT_GE(st.*c.explosionStep, 0);
            EXPECT_LE(st.*c.explosionStep, 4);  // a craft's counter stops with its flag at 4
        }
        EXPECT_TRUE(isOnOffFlag(st.playerDestroyed));
        EXPECT_TRUE(isOnOffFlag(st.bossApproach));
        EXPECT_GE(st.shipExplosionStep, lastShipStep);  // only ever counts up, never wraps
        lastShipStep = st.shipExplosionStep;
        EXPECT_EQ(st.bannerGreen, 0);
        for (const ElementRef& e : catalogue(g.scene)) {
            if (e.kind() == Kind::Sprite) {
                const Sprite& sp = *std::get<Sprite*>(e.ptr);
                EXPECT_TRUE(std::isfinite(sp.Left) && std::isfinite(sp.Top) && std::isfinite(sp.Width) &&
                            std::isfinite(sp.Height))
                    << e.name();
            } else if (e.kind() == Kind::Star) {
                const Star& star = *std::get<Star*>(e.ptr);
                EXPECT_TRUE(star.Top >= 0 && star.Top <= 8550) << e.name();
            }
        }
        // The score only grows, 12 at a time.
        const double score = scoreValue(s);
        EXPECT_EQ(std::fmod(score, 12.0), 0.0);
        EXPECT_GE(score, lastScore);
        tally.kills += static_cast<int>((score - lastScore) / 12);
        lastScore = score;
        EXPECT_GE(s.energy.Top, -4200.0f);
        if (s.enemycraft1.Top < lastCraft1Top) ++tally.respawns;
        lastCraft1Top = s.enemycraft1.Top;

        // The boss phase belongs to the boss tick; a game stops at its door.
        if (s.Timerboss.Enabled) {
            EXPECT_FALSE(s.Timer3.Enabled);
            break;
        }
        EXPECT_FALSE(s.Timer5.Enabled);
        EXPECT_TRUE(s.Timer4.Enabled);
        const bool over = st.shipExplosionStep >= 4;
        EXPECT_EQ(s.Timer1.Enabled, !over);
        EXPECT_EQ(s.Timer3.Enabled, !over);
        EXPECT_EQ(s.Form1.KeyPreview, !over);
        EXPECT_EQ(s.Picture1.Visible, !over);
        if (!over) {
            // The flight limits, whatever picture the ship shows: one step past
            // each at most (the narrowest box is 495 wide, the shortest 960 tall).
            EXPECT_GE(s.Picture1.Left, 50.0f);
            EXPECT_LE(s.Picture1.Left, 8960.0f);
            EXPECT_GE(s.Picture1.Top, 1400.0f);
            EXPECT_LE(s.Picture1.Top, 7690.0f);
            continue;
        }
        EXPECT_EQ(s.Label1.Caption, "GAME OVER");
        if (overAt < 0) {
            overAt = g.clock;
            ++tally.gamesOver;
            for (size_t i = 0; i < 4; ++i) frozenTops[i] = (g.scene.*kCraft[i].sprite).Top;
        }
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ((g.scene.*kCraft[i].sprite).Top, frozenTops[i]);  // frozen
        if (g.clock - overAt >= 2000) break;
        if (::testing::Test::HasFailure()) break;  // one report per game is enough
    }
    if (!s.life.Visible) ++tally.refills;
    return g.clock;
}

TEST(PlayLong, MinutesOfScriptedPlayKeepEveryInvariant) {
    Lcg lcg{20240611};
    Tally tally;
    int64_t played = 0;
    int games = 0;
    while (played < 5 * 60 * 1000 && !::testing::Test::HasFailure()) {
        played += playOneGame(lcg, tally);
        ++games;
    }
    // The run really played: shots went out, craft fell, came back and died,
    // games ended, and each game spent its refill.
    EXPECT_GT(tally.launches, 100 * games);
    EXPECT_GT(tally.kills, 10 * games);
    EXPECT_GT(tally.respawns, 2 * games);
    EXPECT_GE(tally.gamesOver, games - 1);
    EXPECT_EQ(tally.refills, games);
}

}  // namespace
