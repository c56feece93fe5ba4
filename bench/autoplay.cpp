// SPDX-License-Identifier: MIT
#include "autoplay.h"

#include <algorithm>

#include "player/player.h"
#include "scene/score.h"
#include "shell/shell.h"

using namespace hvezda;

Game startedGame(uint64_t seed) {
    Game g;
    g.random.seed = [n = seed * 7919]() mutable { return n++; };
    Form_Load(g);
    return g;
}

std::vector<std::pair<bool, int>> scriptedKeys(int64_t t) {
    const int64_t inSecond = t % 1000;
    const int upOrDown = (t / 1000) % 2 ? keys::up : keys::down;
    std::vector<std::pair<bool, int>> out;
    switch (inSecond) {
        case 0: out.push_back({true, keys::left}); break;
        case 400: out.push_back({false, keys::left}); break;
        case 500: out.push_back({true, keys::right}); break;
        case 900: out.push_back({false, keys::right}); break;
        case 200: out.push_back({true, upOrDown}); break;
        case 300: out.push_back({false, upOrDown}); break;
        default: break;
    }
    if (inSecond % 100 == 50) {
        out.push_back({true, keys::x});
        out.push_back({false, keys::x});
    }
    return out;
}

void keepInPhase(Game& g, Aim aim) {
    Scene& s = g.scene;
    switch (aim) {
        case Aim::NormalPlay:
        case Aim::ShieldLow:
            s.energy.Top = aim == Aim::ShieldLow ? 1525 : -4200;  // 1525: lower edge at 7900, low but whole
            if (scoreValue(s) > 900) s.score.Caption = "0";
            break;
        case Aim::BossFight:
            s.energy.Top = -4200;
            s.bossenergy.Top = -4080;
            break;
        default: break;
    }
}

namespace {

// In the boss fight: under the boss, firing, above its shots to win or low
// among them to lose, with the losing side's energy near its end.
void followTheBoss(Game& g, bool win, int64_t t) {
    Scene& s = g.scene;
    const auto hold = [&](int key, bool on) { on ? keyDownEvent(g, key, 0) : keyUpEvent(g, key, 0); };
    float& energy = win ? s.bossenergy.Top : s.energy.Top;
    energy = std::max(energy, win ? 1140.0f : 1200.0f);
    const float ship = s.Picture1.Left + s.Picture1.Width / 2, boss = s.enemyboss.Left + s.enemyboss.Width / 2;
    hold(keys::right, ship < boss - 200);
    hold(keys::left, ship > boss + 200);
    hold(keys::up, win && s.Picture1.Top >= 3220);
    hold(keys::down, win ? s.Picture1.Top < 3000 : s.Picture1.Top < 6000);
    hold(keys::x, t % 20 == 0);
}

}  // namespace

void playStep(Game& g, Aim aim, int64_t t) {
    if ((aim == Aim::Win || aim == Aim::Lose) && g.scene.Timerboss.Enabled) return followTheBoss(g, aim == Aim::Win, t);
    if ((aim == Aim::Win || aim == Aim::Lose) && t == 1500) g.scene.score.Caption = "1008";
    if (t % 1000 == 0) keepInPhase(g, aim);
    for (const auto& [down, code] : scriptedKeys(t)) down ? keyDownEvent(g, code, 0) : keyUpEvent(g, code, 0);
}

void playScripted(Game& g, int64_t ms, Aim aim) {
    for (int64_t t = 0; t < ms; t += 10) {
        playStep(g, aim, t);
        advance(g, 10);
    }
}

Game normalPlay(uint64_t seed) {
    Game g = startedGame(seed);
    playScripted(g, 5000, Aim::NormalPlay);
    return g;
}

Game bossFight(uint64_t seed) {
    Game g = startedGame(seed);
    g.scene.score.Caption = "1001";
    // The approach takes 137 enemy ticks (2.74 s); play until the hand-over.
    for (int64_t t = 0; !g.scene.Timerboss.Enabled && t < 10000; t += 10) {
        keepInPhase(g, Aim::BossFight);
        playStep(g, Aim::Nothing, t);
        advance(g, 10);
    }
    return g;
}

Game afterTheEnd(uint64_t seed) {
    Game g = bossFight(seed);
    g.scene.bossenergy.Top = 2041;
    playScripted(g, 1000, Aim::Nothing);
    return g;
}
