// SPDX-License-Identifier: MIT
#include "play.h"

#include "player/player.h"
#include "scene/score.h"
#include "shell/shell.h"

using namespace hvezda;

Game startedGame(uint64_t seed) {
    Game g;
    g.random.seed = [n = seed * 7919] () mutable { return n++; };
    Form_Load(g);
    return g;
}

void scriptedInput(Game& g, int64_t t) {
    const int64_t inSecond = t % 1000;
    switch (inSecond) {
        case 0: keyDownEvent(g, keys::left, 0); break;
        case 400: keyUpEvent(g, keys::left, 0); break;
        case 500: keyDownEvent(g, keys::right, 0); break;
        case 900: keyUpEvent(g, keys::right, 0); break;
        case 200: keyDownEvent(g, (t / 1000) % 2 ? keys::up : keys::down, 0); break;
        case 300: keyUpEvent(g, (t / 1000) % 2 ? keys::up : keys::down, 0); break;
        default: break;
    }
    if (inSecond % 100 == 50) {
        keyDownEvent(g, keys::x, 0);
        keyUpEvent(g, keys::x, 0);
    }
}

void keepInPhase(Game& g, Keep keep) {
    Scene& s = g.scene;
    switch (keep) {
        case Keep::NormalPlay:
            s.energy.Top = -4200;
            if (scoreValue(s) > 900) s.score.Caption = "0";
            break;
        case Keep::BossFight:
            s.energy.Top = -4200;
            s.bossenergy.Top = -4080;
            break;
        case Keep::Nothing: break;
    }
}

void playScripted(Game& g, int64_t ms, Keep keep) {
    for (int64_t t = 0; t < ms; t += 10) {
        if (t % 1000 == 0) keepInPhase(g, keep);
        scriptedInput(g, t);
        advance(g, 10);
    }
}

Game normalPlay(uint64_t seed) {
    Game g = startedGame(seed);
    playScripted(g, 5000, Keep::NormalPlay);
    return g;
}

Game bossFight(uint64_t seed) {
    Game g = startedGame(seed);
    g.scene.score.Caption = "1001";
    // The approach takes 137 enemy ticks (2.74 s); play until the hand-over.
    for (int64_t t = 0; !g.scene.Timerboss.Enabled && t < 10000; t += 10) {
        keepInPhase(g, Keep::BossFight);
        scriptedInput(g, t);
        advance(g, 10);
    }
    return g;
}

Game afterTheEnd(uint64_t seed) {
    Game g = bossFight(seed);
    g.scene.bossenergy.Top = 2041;
    playScripted(g, 1000, Keep::Nothing);
    return g;
}
