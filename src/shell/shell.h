// SPDX-License-Identifier: MIT
// Start-up, the three panel labels, and how events and timer ticks reach the
// game's handlers.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/paths.h"
#include "scene/game.h"

namespace hvezda {

// The controls help that "OVLÁDÁNÍ" shows, blanks and all.
inline constexpr const char* kControlsHelp = "směr: šipky  /  x = střelba  /                c = doplnění života";
// The credits that "CREDITS" shows: one sentence, a run of blanks, an address.
inline constexpr const char* kCreditsText = "Hru naprogramoval tým Hvězda.          hvezda@example.org";
inline constexpr const char* kMusicFileName = "Moonlite.dat";
using base::kPathSeparator;

void Form_Load(Game& g);
void Label4_Click(Game& g);  // EXIT
void Label5_Click(Game& g);  // OVLÁDÁNÍ
void Label6_Click(Game& g);  // CREDITS

// The panel's three labels that take clicks, by their number.
enum class PanelLabel { None = 0, Exit = 4, Controls = 5, Credits = 6 };
inline constexpr PanelLabel kClickable[] = {PanelLabel::Exit, PanelLabel::Controls, PanelLabel::Credits};
Label& labelOf(Scene& s, PanelLabel label);  // Label4, Label5 or Label6 (not None)
// Its name in scripts, "Label4"; and back, None for a name of no clickable label.
std::string_view labelName(PanelLabel label);
PanelLabel labelNamed(std::string_view name);
// Runs the label's click handler; false for None.
bool clickLabel(Game& g, PanelLabel label);

// Key events as the window delivers them: they reach Form_KeyDown / Form_KeyUp
// only while Form1's key preview is on. True when they did.
bool keyDownEvent(Game& g, int keyCode, int shiftState);
bool keyUpEvent(Game& g, int keyCode, int shiftState);

// How a game has ended, read from what its end leaves behind: the boss
// fight's banner (its caption tells which way), or the keys cut off when the
// ship's destruction ends normal play.
enum class Ending { None, Winner, GameOver };
Ending ending(const Game& g);

// Runs one timer's tick handler now, enabled or not.
void runTimerHandler(Game& g, TimerId id);

// The scheduler. nextDueTime is the earliest pending tick of an enabled timer
// (INT64_MAX when none); runInstant runs every tick due at that instant, in the
// order Timer1, Timer2, Timer3, Timer4, Timer5, Timerboss, with the clock set
// to it; advance runs every due tick up to clock + ms and leaves the clock there.
inline constexpr int64_t kNever = INT64_MAX;
// The latest instant the clock may be advanced to: above it there is room
// for any timer's next tick (an interval is at most INT32_MAX ms), so no due
// time overflows. Readers of scripts refuse an advance past it.
inline constexpr int64_t kLastInstant = kNever - INT32_MAX - 1;
int64_t nextDueTime(const Game& g);
void runInstant(Game& g, int64_t t);
void advance(Game& g, int64_t ms);

}  // namespace hvezda
