// SPDX-License-Identifier: MIT
#include "boss/boss.h"
#include "combat/combat.h"
#include "enemies/enemies.h"
#include "player/player.h"
#include "shell/shell.h"

namespace hvezda {

namespace {
bool keysReachTheGame(const Game& g) { return g.scene.Form1.open && g.scene.Form1.KeyPreview; }
}  // namespace

bool keyDownEvent(Game& g, int keyCode, int shiftState) {
    if (!keysReachTheGame(g)) return false;
    Form_KeyDown(g, keyCode, shiftState);
    return true;
}

bool keyUpEvent(Game& g, int keyCode, int shiftState) {
    if (!keysReachTheGame(g)) return false;
    Form_KeyUp(g, keyCode, shiftState);
    return true;
}

Ending ending(const Game& g) {
    const Scene& s = g.scene;
    if (s.Label3.Visible) return s.Label3.Caption == captions::winner ? Ending::Winner : Ending::GameOver;
    return s.Form1.KeyPreview ? Ending::None : Ending::GameOver;
}

Label& labelOf(Scene& s, PanelLabel label) {
    return label == PanelLabel::Exit ? s.Label4 : label == PanelLabel::Controls ? s.Label5 : s.Label6;
}

std::string_view labelName(PanelLabel label) {
    switch (label) {
        case PanelLabel::Exit: return "Label4";
        case PanelLabel::Controls: return "Label5";
        case PanelLabel::Credits: return "Label6";
        case PanelLabel::None: break;
    }
    return {};
}

PanelLabel labelNamed(std::string_view name) {
    for (const PanelLabel l : kClickable)
        if (labelName(l) == name) return l;
    return PanelLabel::None;
}

bool clickLabel(Game& g, PanelLabel label) {
    switch (label) {
        case PanelLabel::Exit: Label4_Click(g); return true;
        case PanelLabel::Controls: Label5_Click(g); return true;
        case PanelLabel::Credits: Label6_Click(g); return true;
        case PanelLabel::None: break;
    }
    return false;
}

void runTimerHandler(Game& g, TimerId id) {
    switch (id) {
        case TimerId::Timer1: Timer1_Timer(g); return;
        case TimerId::Timer2: Timer2_Timer(g); return;
        case TimerId::Timer3: Timer3_Timer(g); return;
        case TimerId::Timer4: Timer4_Timer(g); return;
        case TimerId::Timer5: Timer5_Timer(g); return;
        case TimerId::Timerboss: Timerboss_Timer(g); return;
    }
}

namespace {
// A timer with no positive interval never ticks, as on the desktop.
bool pending(const Timer& t) { return t.Enabled && t.Interval > 0; }
}  // namespace

int64_t nextDueTime(const Game& g) {
    int64_t next = kNever;
    Scene& s = const_cast<Scene&>(g.scene);
    for (TimerId id : kTimerOrder) {
        const Timer& t = timerOf(s, id);
        if (pending(t) && t.nextDue < next) next = t.nextDue;
    }
    return next;
}

void runInstant(Game& g, int64_t t) {
    g.clock = t;
    // One pass in timer order is enough: a handler cannot make a tick due now
    // (a timer it enables first ticks one interval later), and one it disables
    // loses its pending tick because Enabled is read when its turn comes.
    for (TimerId id : kTimerOrder) {
        Timer& timer = timerOf(g.scene, id);
        if (!pending(timer) || timer.nextDue > t) continue;
        timer.nextDue += timer.Interval;
        if (g.onTick) g.onTick(g, id);
        runTimerHandler(g, id);
    }
}

void advance(Game& g, int64_t ms) {
    const int64_t target = g.clock + ms;
    for (int64_t due = nextDueTime(g); due <= target; due = nextDueTime(g)) runInstant(g, due);
    g.clock = target;
}

}  // namespace hvezda
