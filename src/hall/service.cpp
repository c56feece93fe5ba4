// SPDX-License-Identifier: MIT
#include "hall/service.h"

#include <chrono>
#include <exception>

#include "hall/page.h"
#include "hall/rules.h"

namespace hall {

namespace {
// Boards whose answers are kept (any day may be asked for: past this, all are forgotten).
constexpr size_t kKeptBoards = 64;
}  // namespace

// A reason may quote what was sent, cut anywhere: bytes that are not UTF-8 become U+FFFD.
Answer refusal(int status, const std::string& why) {
    return {status, nlohmann::json{{"error", why}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n"};
}

int64_t systemNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

Answer Service::submit(std::string_view recording, std::string_view authorization) {
    std::string why;
    const std::optional<std::string> token = bearerToken(authorization, why);
    if (!token) return refusal(401, why);
    if (recording.size() > kLargestRecording)
        return refusal(413, "the recording is larger than " + std::to_string(kLargestRecording) + " bytes");
    Judged game;
    bool judged = false;
    const auto replay = [&] { judged = judge(recording, game, why); };
    if (!queue_) replay();
    else if (!queue_->run(replay)) {
        Answer busy = refusal(503, "the server is replaying as many games as it can: send again shortly");
        busy.retryAfter = 2;
        return busy;
    }
    if (!judged) return refusal(422, why);
    const int64_t now = now_();
    const Placement placement = place(game, now);
    if (placement.board.empty()) return refusal(422, placement.why);
    // A game with no name (the player line has none) is listed as nobody's, bound to no token.
    if (const std::string bad = game.name.empty() ? "" : badName(game.name); !bad.empty()) return refusal(422, bad);

    Submission s;
    s.entry.id = game.id;
    s.entry.name = game.name;
    s.entry.score = game.score;
    s.entry.winner = game.winner;
    s.entry.lengthMs = game.lengthMs;
    s.entry.checkpoints = game.checkpoints;
    s.entry.board = placement.board;
    s.entry.day = placement.day;
    s.entry.seed = game.seed;
    s.entry.receivedMs = now;
    s.recording = std::string(recording);
    s.tokenHash = tokenHash(*token);
    s.latestIssueMs = placement.latestIssueMs;
    Entry entry;
    switch (store_.add(s, entry)) {
        case Added::New: return {201, sentAnswer(entry).dump() + "\n"};
        case Added::Again: return {200, sentAnswer(entry).dump() + "\n"};
        case Added::OtherPlayer:
            return refusal(409, "this game is already on the board, sent by another player" +
                                    (entry.name.empty() ? std::string() : " (as " + entry.name + ")"));
        case Added::NameTaken: return refusal(409, "the name '" + game.name + "' belongs to another player");
        case Added::SeedUnknown:
            return refusal(422, "the seed " + std::to_string(game.seed) +
                                    " was not issued by this server (or waited unused for over a week)");
        case Added::SeedUsed: return refusal(422, "the seed " + std::to_string(game.seed) + " was used by another game");
        case Added::SeedTooRecent:
            return refusal(422, "the game (" + std::to_string(game.lengthMs) +
                                    " ms) is longer than the time since its seed was issued");
    }
    return refusal(500, "the store gave no answer");
}

Answer Service::seed() {
    const int64_t now = now_();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const uint64_t seed = freshSeed();
        if (store_.issueSeed(seed, now, kSeedLifeMs, kMostSeedsWaiting))
            return {200, nlohmann::json{{"seed", seed}, {"issued", utcTime(now)}}.dump() + "\n"};
    }
    return refusal(503, "too many seeds wait unused; try again later");
}

Answer Service::board(const std::string& which, const std::string& day) {
    std::string date;
    if (which == "daily") {
        date = day.empty() ? utcDay(now_()) : day;
        if (!dayStart(date)) return refusal(400, "day=" + day.substr(0, 40) + " is no date (YYYY-MM-DD)");
    } else if (which != "open") {
        return refusal(400, "board= is daily or open");
    } else if (!day.empty()) {
        return refusal(400, "the open board has no days");
    }
    // The version is read before the board: a game added in between makes
    // the next read miss, never keeps an old board under a new version.
    const std::optional<uint64_t> version = store_.boardsVersion();
    const std::string key = which + " " + date;
    if (version) {
        std::lock_guard lock(keptMutex_);
        auto it = kept_.find(key);
        if (it != kept_.end() && it->second.version == *version) return {200, it->second.body};
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const Entry& e : store_.board(which, date, kBoardPlaces)) rows.push_back(boardRow(e));
    nlohmann::json answer{{"board", which}, {"entries", rows}};
    answer["day"] = date.empty() ? nlohmann::json() : nlohmann::json(date);
    std::string body = answer.dump() + "\n";
    if (version) {
        std::lock_guard lock(keptMutex_);
        if (kept_.size() >= kKeptBoards) kept_.clear();
        kept_[key] = {*version, body};
    }
    return {200, std::move(body)};
}

Answer Service::recording(const std::string& id) {
    if (!wellFormedId(id)) return refusal(404, "no game has the id '" + id.substr(0, 40) + "'");
    std::optional<std::string> text = store_.recording(id);
    if (!text) return refusal(404, "no game has the id " + id);
    Answer a{200, std::move(*text), "text/plain; charset=utf-8"};
    a.fileName = "hvezda-" + id + ".sim";
    return a;
}

Answer Service::page() {
    const std::string day = utcDay(now_());
    return {200, boardPage(day, store_.board("daily", day, kBoardPlaces), store_.board("open", "", kBoardPlaces), playPage_),
            "text/html; charset=utf-8"};
}

}  // namespace hall
