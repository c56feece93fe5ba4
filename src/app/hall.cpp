// SPDX-License-Identifier: MIT
#include "app/hall.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "app/recorder.h"
#include "base/files.h"
#include "record/replay.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;

namespace app {

namespace fs = std::filesystem;

namespace {

// A time of the player line as seconds since 1970 in UTC; 0 when it is not
// one. Games recorded in other time zones compare by the moment they began.
int64_t utcSeconds(const std::string& when) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, oh = 0, om = 0;
    char sign = '+';
    if (std::sscanf(when.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d", &y, &mo, &d, &h, &mi, &s, &sign, &oh, &om) != 9)
        return 0;
    using namespace std::chrono;
    const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return 0;
    const int64_t local = sys_days(date).time_since_epoch().count() * 86400 + h * 3600 + mi * 60 + s;
    return local - (sign == '-' ? -1 : 1) * (oh * 3600 + om * 60);
}

// The name a new entry's file takes: the moment its game began, hvezda-2026-12-07-150405.sim.
std::string fileNameFor(const HallEntry& e, const std::string& folder) {
    std::string stamp;
    for (const char c : e.when.substr(0, 19))
        if (c >= '0' && c <= '9') stamp += c;
    stamp = stamp.size() == 14 ? stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + "-" +
                                     stamp.substr(8)
                               : "game";
    const std::string stem = folder + base::kPathSeparator + "hvezda-" + stamp;
    std::string file = stem + ".sim";
    std::error_code ec;
    for (int n = 2; fs::exists(base::pathFromUtf8(file), ec); ++n) file = stem + "-" + std::to_string(n) + ".sim";
    return file;
}

// Every entry the folder holds, in no order.
std::vector<HallEntry> entriesIn(const std::string& folder, std::vector<std::string>& problems) {
    std::vector<HallEntry> entries;
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(base::pathFromUtf8(folder), ec)) files.push_back(item.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        const std::string file = base::utf8FromPath(path);
        std::string why;
        HallEntry e;
        std::ifstream in;
        if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) > kHallLargestFile)
            why = "larger than " + std::to_string(kHallLargestFile >> 20) + " MB";
        else if (why = record::openRecording(file, in); why.empty() && judgeRecording(in, e, why))
            e.file = file, entries.push_back(std::move(e));
        if (!why.empty()) problems.push_back(file + ": " + why + "; left out of the hall of fame");
    }
    return entries;
}

}  // namespace

bool better(const HallEntry& a, const HallEntry& b) {
    return std::make_tuple(-a.score, a.playMs, utcSeconds(a.when), a.file) <
           std::make_tuple(-b.score, b.playMs, utcSeconds(b.when), b.file);
}

bool judgeRecording(std::istream& recording, HallEntry& entry, std::string& why) {
    record::PlayedToTheEnd played;
    if (!record::playToTheEnd(recording, {}, played, why)) return false;
    const record::Verdict& v = played.verdict;
    entry.score = played.score;
    entry.playMs = played.lengthMs;
    entry.winner = played.winner;
    entry.name = v.name;
    entry.when = v.when;
    entry.chosenLuck = v.luck != record::Verdict::Luck::Seed;
    entry.daily = entry.chosenLuck ? std::string() : v.daily;  // a daily flight's luck is its date's seed's
    return true;
}

namespace {

// Splits entries, best first, into the tables; `rest` gets those in neither.
HallTables tablesOf(std::vector<HallEntry> entries, const std::string& date, std::vector<HallEntry>* rest = nullptr) {
    std::sort(entries.begin(), entries.end(), better);
    HallTables t;
    for (HallEntry& e : entries) {
        const bool best = t.best.size() < kHallPlaces;
        const bool daily = !date.empty() && e.daily == date && t.daily.size() < kHallPlaces;
        if (best) t.best.push_back(e);
        if (daily) t.daily.push_back(e);
        if (!best && !daily && rest) rest->push_back(std::move(e));
    }
    return t;
}

}  // namespace

HallTables readHallTables(const std::string& folder, const std::string& date, std::vector<std::string>& problems) {
    return tablesOf(entriesIn(folder, problems), date);
}

std::vector<HallEntry> readHall(const std::string& folder, std::vector<std::string>& problems) {
    return readHallTables(folder, {}, problems).best;
}

int enterHall(const std::string& folder, const std::string& recording, std::vector<std::string>& problems,
              std::string* written, const std::string& todayGiven) {
    const std::string today = todayGiven.empty() ? record::todayUtc() : todayGiven;
    HallEntry entry;
    std::string why;
    std::istringstream text(recording);
    if (!judgeRecording(text, entry, why)) {
        problems.push_back("the game just played: " + why + "; not in the hall of fame");
        return -1;
    }
    std::vector<HallEntry> entries = entriesIn(folder, problems);
    entry.file = fileNameFor(entry, folder);
    const auto place = std::count_if(entries.begin(), entries.end(), [&](const HallEntry& e) { return better(e, entry); });
    const auto dailyPlace = std::count_if(entries.begin(), entries.end(), [&](const HallEntry& e) {
        return e.daily == today && better(e, entry);
    });
    const bool best = static_cast<size_t>(place) < kHallPlaces;
    if (!best && !(entry.daily == today && static_cast<size_t>(dailyPlace) < kHallPlaces)) return 0;
    if (const std::string failed = base::writeFileAtomically(entry.file, recording); !failed.empty()) {
        problems.push_back(failed + "; not in the hall of fame");
        return -1;
    }
    if (written) *written = entry.file;
    // A game leaves the folder once it is in neither table.
    entries.push_back(entry);
    std::vector<HallEntry> rest;
    tablesOf(std::move(entries), today, &rest);
    for (const HallEntry& e : rest) {
        std::error_code ec;
        if (!fs::remove(base::pathFromUtf8(e.file), ec) && ec)
            problems.push_back("cannot remove " + e.file + ": " + ec.message());
    }
    return best ? static_cast<int>(place) + 1 : 0;
}

std::string playTime(const HallEntry& e) {
    const int64_t seconds = e.playMs / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::string playDate(const HallEntry& e) { return e.when.size() >= 10 ? e.when.substr(0, 10) : "-"; }

std::string playerName(const HallEntry& e) { return e.name.empty() ? "-" : e.name; }

std::string luckMark(const HallEntry& e) {
    if (e.chosenLuck) return "chosen luck";
    return e.daily.empty() ? "" : "daily";
}


HallKeeper::HallKeeper(std::string folder, Recorder* recorder, std::function<void()> show)
    : folder_(std::move(folder)), recorder_(recorder), show_(std::move(show)) {}

void HallKeeper::onInstant(Game& g) {
    if (entered_ || !recorder_) return;
    if (endedAt_ < 0 && ending(g) != Ending::None) endedAt_ = g.clock;
    if (endedAt_ < 0 || g.clock < endedAt_ + kShowAfterMs) return;
    enter(g);
    if (show_) show_();
}

void HallKeeper::gameLeft(Game& g) {
    if (!entered_ && recorder_ && ending(g) != Ending::None) enter(g);
}

void HallKeeper::gameStarted() {
    endedAt_ = -1;
    entered_ = false;
}

void HallKeeper::enter(Game& g) {
    entered_ = true;
    if (folder_.empty() && !onEnded) return;
    const std::string recording = recorder_->snapshot(g);
    if (recording.empty()) return;  // not recorded whole: the recorder has said why
    if (onEnded) onEnded(recording);
    if (folder_.empty()) return;
    std::vector<std::string> problems;
    newest_.clear();
    enterHall(folder_, recording, problems, &newest_, record::todayUtc());
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    refresh();
}

void HallKeeper::refresh() {
    board_ = {};
    board_.date = record::todayUtc();
    if (folder_.empty()) return;
    std::vector<std::string> problems;
    const HallTables tables = readHallTables(folder_, board_.date, problems);
    for (const std::string& p : problems)
        if (said_.insert(p).second) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    auto fill = [this](const std::vector<HallEntry>& table, std::vector<platform::HallRow>& rows, int& marked) {
        for (size_t i = 0; i < table.size(); ++i) {
            const HallEntry& e = table[i];
            if (e.file == newest_) marked = static_cast<int>(i);
            // The board marks chosen luck with an asterisk and a daily flight with a D.
            rows.push_back({std::to_string(i + 1), playerName(e), std::to_string(e.score), e.winner ? "WINNER" : "GAME OVER",
                            playTime(e), playDate(e), e.chosenLuck ? "*" : e.daily.empty() ? "" : "D"});
        }
    };
    fill(tables.best, board_.best, board_.bestMarked);
    fill(tables.daily, board_.daily, board_.dailyMarked);
    for (platform::HallRow& row : board_.daily) row.mark.clear();  // all of them are
}

}  // namespace app
