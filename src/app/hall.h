// SPDX-License-Identifier: MIT
// The hall of fame: the ten best ended games, and beside them the ten best
// daily flights of today, kept as their recordings in a folder of their own. There is no table to trust: each time the hall is
// read, every recording in the folder is replayed in-process, and only those
// that replay to their end take a place. A file edited by hand, cut, of a
// newer format or no recording at all is left out with one line saying so.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <set>
#include <string>
#include <vector>

#include "platform/hall_overlay.h"
#include "scene/game.h"

namespace app {

struct HallEntry {
    std::string file;    // the recording
    std::string name;    // who played
    std::string when;    // when the game began, as its player line says (2026-12-07T15:04:05+01:00)
    int64_t score = 0;
    int64_t playMs = 0;  // the game's clock when it ended
    bool winner = false;
    bool chosenLuck = false;  // the recording gave its random values instead of drawing them from a seed
    std::string daily;        // the date of its daily flight (YYYY-MM-DD), empty for another game
};

inline constexpr size_t kHallPlaces = 10;
// A recording larger than this is no game of the hall's (some ten hours of
// play): left out unread.
inline constexpr uintmax_t kHallLargestFile = 16u << 20;

// Best first: the higher score, then the shorter game, then the earlier one.
bool better(const HallEntry& a, const HallEntry& b);

// Replays a recording: true, with `entry` filled (but its file), when it
// holds a game that ended and replays to its end; else false with `why`.
bool judgeRecording(std::istream& recording, HallEntry& entry, std::string& why);

// The tables: the best of all time and the best daily flights of one date.
struct HallTables {
    std::vector<HallEntry> best, daily;
};
// The entries of every recording in `folder` that holds an ended game, best
// first, at most kHallPlaces in each table; `date` (YYYY-MM-DD, UTC) is the
// daily table's. Each file left out adds one line to `problems` ("FILE: why").
HallTables readHallTables(const std::string& folder, const std::string& date, std::vector<std::string>& problems);
// The best of all time alone.
std::vector<HallEntry> readHall(const std::string& folder, std::vector<std::string>& problems);

// Enters a game (its recording's text) when it makes the ten of all time or,
// as a daily flight of `today`, the ten of today: its file is written whole,
// and whatever is in neither table leaves the folder (yesterday's daily
// flights too, unless they are among the best of all time). Returns its place
// of all time from 1, 0 when it is not among the ten (it may still be among
// today's), -1 when it could not be judged or written (`problems` says why;
// the hall is as it was). `written` gets the new file's name, when it was kept.
int enterHall(const std::string& folder, const std::string& recording, std::vector<std::string>& problems,
              std::string* written = nullptr, const std::string& today = {});

// An entry as the hall shows it: its play time as m:ss, its date, and who
// played (games recorded before names were kept show "-" for both), and how
// its luck is marked (empty for a seed of the clock's).
std::string playTime(const HallEntry& e);
std::string playDate(const HallEntry& e);
std::string playerName(const HallEntry& e);
std::string luckMark(const HallEntry& e);  // "chosen luck", "daily" or ""

class Recorder;

// The hall in the window: notes when a game ends and, about two seconds of
// play later (or when the game is left sooner), enters its recording and
// asks for the table to be shown, the new entry marked when it made the ten.
// Problems are one line each on standard error; play goes on.
class HallKeeper {
public:
    static constexpr int64_t kShowAfterMs = 2000;

    // `folder`: the hall's, empty for none. `show` asks the window to show the table.
    HallKeeper(std::string folder, Recorder* recorder, std::function<void()> show);
    void onInstant(hvezda::Game& g);  // after every instant of play
    void gameLeft(hvezda::Game& g);   // just before a game is left (EXIT, a new game, the window closed)
    void gameStarted();               // a new game began
    void refresh();                   // reads the table again

    const plat::HallBoard& board() const { return board_; }

    // Called with each ended game's recording as it is entered (a public
    // hall of fame sends it on); it must return at once.
    std::function<void(const std::string& recording)> onEnded;

private:
    void enter(hvezda::Game& g);

    std::string folder_;
    Recorder* recorder_;
    std::function<void()> show_;
    int64_t endedAt_ = -1;  // the clock when this game's end was seen
    bool entered_ = false;
    std::string newest_;  // the file of the last game entered
    plat::HallBoard board_;
    std::set<std::string> said_;  // problems said once, not at every look
};

}  // namespace app
