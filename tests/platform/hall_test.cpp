// SPDX-License-Identifier: MIT
// The hall of fame's folder: only recorded games that replay to their end, ranked by score, length and date; ten at most.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/hall.h"
#include "scratch.h"
#include "sim/seal.h"

using namespace driver;
using namespace app;
namespace fs = std::filesystem;

namespace {

std::string corpus(const std::string& name) {
    return readFile(HVEZDA_CORPUS "/" + name);
}

std::vector<int64_t> scores(const std::vector<HallEntry>& table) {
    std::vector<int64_t> s;
    for (const HallEntry& e : table) s.push_back(e.score);
    return s;
}

TEST(Hall, BestFirstByScoreThenLengthThenTheMomentItBegan) {
    const HallEntry high{"a", "", "2026-12-07T12:00:00+00:00", 100, 9000, false, false, ""};
    HallEntry shorter = high, earlier = high;
    shorter.playMs = 8990;
    earlier.when = "2026-12-07T12:30:00+01:00";  // 11:30 UTC: earlier, though its clock read later
    EXPECT_TRUE(better(high, {"b", "", high.when, 99, 10, true, false, ""}));
    EXPECT_TRUE(better(shorter, high));
    EXPECT_TRUE(better(earlier, high));
    EXPECT_FALSE(better(high, high));
}

TEST(Hall, OnlyRecordingsThatReplayToAnEndTakeAPlace) {
    const std::string dir = freshFolder("read");
    for (const char* name : {"winner.sim", "game-over.sim", "winner-format2.sim", "boss-lost-format2.sim"})
        std::ofstream(dir + "/" + name) << corpus(name);
    // A raised score, a cut file, a newer format, an unended game, text, 17 MB: each left out.
    std::string raised = corpus("boss-lost.sim");
    raised.replace(raised.find("expect score.Caption 1020"), 25, "expect score.Caption 9020");
    // The first 3 s of a game, sealed with the hash of where it stood then.
    std::istringstream firstSeconds("seed 5\nkeydown 88\nadvance 3000\n");
    std::string unended;
    ASSERT_EQ(sealScript(firstSeconds, unended).exitCode, 0);
    const std::pair<const char*, std::string> files[] = {{"raised.sim", raised},
        {"cut.sim", corpus("game-over-format2.sim").substr(0, 900)}, {"newer.sim", "format 4 hvezda 9.0\n" + corpus("game-over-format2.sim")},
        {"unended.sim", unended}, {"notes.txt", "my best games\n"}};
    for (const auto& [name, text] : files) std::ofstream(dir + "/" + name) << text;
    std::ofstream(dir + "/huge.sim").close();
    fs::resize_file(dir + "/huge.sim", 17u << 20);

    std::vector<std::string> problems;
    const std::vector<HallEntry> table = readHall(dir, problems);
    EXPECT_EQ(scores(table), (std::vector<int64_t>{1056, 1044, 1032, 96}));
    ASSERT_EQ(problems.size(), 6u) << ::testing::PrintToString(problems);
    for (const char* file : {"raised", "cut", "newer", "unended", "notes", "huge"})
        EXPECT_EQ(std::count_if(problems.begin(), problems.end(), [&](auto& p) { return p.rfind(dir + "/" + file, 0) == 0; }), 1) << file;
    // What an entry holds: who, when, how long and how it ended.
    const HallEntry& winner = table[0];
    EXPECT_EQ(winner.file, dir + "/winner-format2.sim");
    EXPECT_EQ(winner.when, "2026-12-07T12:06:59+00:00");
    EXPECT_TRUE(winner.winner);
    EXPECT_FALSE(table[3].winner);
    EXPECT_EQ(playTime(table[3]), "0:06");  // the game ended at 6 s; the player left at 9
    EXPECT_EQ(playDate(table[3]), "-");  // 0.1 wrote no player line
    EXPECT_EQ(playerName(table[3]), "-");
}

// A game flown until it ends, sealed: with the keys given, on the daily flight of `date`.
std::string flown(const std::string& date, const std::string& keys, const std::string& more = "") {
    std::istringstream script("daily " + date + "\n" + more + keys + "advance 120000\n");
    std::string recording;
    EXPECT_EQ(sealScript(script, recording).exitCode, 0);
    return recording;
}

TEST(Hall, TheEleventhGamePushesTheWorstOutAndTodaysDailyFlightsStandBesideTheBest) {
    const std::string dir = freshFolder("eleven");
    // Six ties: the same game begun at six moments, entered latest first.
    const std::string game = corpus("game-over-format2.sim");
    const size_t when = game.find("player ") + 7;
    std::vector<std::string> games;
    for (int minute = 59; minute >= 54; --minute)
        games.push_back(std::string(game).replace(when + 14, 2, std::to_string(minute)));
    for (const char* name : {"winner.sim", "boss-lost.sim", "game-over.sim", "winner-format2.sim", "boss-lost-format2.sim"})
        games.push_back(corpus(name));
    std::vector<std::string> problems;
    std::vector<int> places;
    for (const std::string& g : games) places.push_back(enterHall(dir, g, problems));
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
    EXPECT_EQ(places, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 2, 3, 1, 2}));
    const std::vector<HallEntry> table = readHall(dir, problems);
    EXPECT_EQ(scores(table), (std::vector<int64_t>{1056, 1044, 1032, 1020, 96, 36, 36, 36, 36, 36}));
    // The five ties kept are the earlier ones, in order; the latest has left the folder.
    for (size_t i = 5; i < 10; ++i) EXPECT_EQ(table[i].when.substr(14, 2), std::to_string(49 + i));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 10);
    // A game that would be eleventh is not written at all.
    EXPECT_EQ(enterHall(dir, games[0], problems), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 10);
    // Today's daily flights, 96, 48 and 24 (below every game of all time), and yesterday's.
    std::string file;
    EXPECT_EQ(enterHall(dir, flown("2026-12-07", "keydown 39\nkeydown 88\n"), problems, &file, "2026-12-07"), 6);
    EXPECT_EQ(enterHall(dir, flown("2026-12-07", "keydown 88\n"), problems, &file, "2026-12-07"), 7);
    EXPECT_EQ(enterHall(dir, flown("2026-12-07", ""), problems, &file, "2026-12-07"), 0);
    EXPECT_NE(file, "");  // kept for today's table all the same
    file.clear();
    EXPECT_EQ(enterHall(dir, flown("2026-12-06", ""), problems, &file, "2026-12-07"), 0);
    EXPECT_EQ(file, "");
    // Chosen luck on a daily line is no daily flight.
    HallEntry chosen;
    std::string why;
    std::istringstream withRandom(flown("2026-12-07", "", "random 0.5\n"));
    EXPECT_TRUE(judgeRecording(withRandom, chosen, why)) << why;
    EXPECT_TRUE(chosen.chosenLuck);
    EXPECT_EQ(chosen.daily, "");
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);

    HallTables t = readHallTables(dir, "2026-12-07", problems);
    EXPECT_EQ(scores(t.best), (std::vector<int64_t>{1056, 1044, 1032, 1020, 96, 96, 48, 36, 36, 36}));
    EXPECT_EQ(scores(t.daily), (std::vector<int64_t>{96, 48, 24}));
    EXPECT_EQ(luckMark(t.best[0]), "chosen luck");
    EXPECT_EQ(luckMark(t.daily[0]), "daily");
    EXPECT_EQ(t.daily[0].daily, "2026-12-07");
    EXPECT_EQ(readHallTables(dir, "2026-12-08", problems).daily.size(), 0u);
    // The next day, a game entered: yesterday's 24 is in neither table and leaves.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 11);
    EXPECT_EQ(enterHall(dir, flown("2026-12-08", ""), problems, nullptr, "2026-12-08"), 0);
    t = readHallTables(dir, "2026-12-08", problems);
    EXPECT_EQ(scores(t.daily), (std::vector<int64_t>{24}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 11);
    EXPECT_EQ(readHallTables(dir, "2026-12-07", problems).daily.size(), 2u);
}

}  // namespace
