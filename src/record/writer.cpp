// SPDX-License-Identifier: MIT
#include "record/writer.h"

#include <cstdio>

#include "base/utf8.h"

namespace rec {

using hvezda::Game;

namespace {
// What a recording states about the game's end, besides the hash.
constexpr const char* kFinalTargets[] = {
    "clock",         "score.Caption", "energy.Top",            "bossenergy.Top",     "Picture1.Left",
    "Picture1.Top",  "state.playerDestroyed", "state.bossApproach", "Timerboss.Enabled", "Label3.Visible"};

}  // namespace

void Writer::start(Game& g, const Header& header) {
    runner_.emplace(g);
    writtenClock_ = checkpointClock_ = g.clock;
    sinceCheckpoint_ = ended_ = false;
    out_.clear();
    for (const std::string& c : header.comments) out_ += "# " + c + "\n";
    write(versionStep(kFormat, "hvezda " + std::string(programVersion())));
    write(playerStep(header.when, base::printableLine(header.name, kLongestName)));
    if (header.seed) {
        if (!header.seed->daily.empty()) write(dailyStep(header.seed->daily));
        write(seedStep(header.seed->seed));
    }
}

void Writer::write(const Step& step) {
    out_ += lineOf(step);
    out_ += '\n';
}

void Writer::catchUp(Game& g) {
    if (!runner_) return;
    if (g.clock > writtenClock_) {
        write(advanceStep(g.clock - writtenClock_));
        runner_->ran();
        sinceCheckpoint_ = true;
    }
    writtenClock_ = g.clock;
}

void Writer::checkpoint(Game& g) {
    catchUp(g);
    write(checkpointStep(g.clock, runner_->digest()));
    checkpointClock_ = g.clock;
    sinceCheckpoint_ = false;
}

bool Writer::instant(Game& g) {
    if (!runner_ || ended_ || g.clock - checkpointClock_ < kCheckpointMs) return false;
    checkpoint(g);
    return true;
}

void Writer::event(Game& g, const Step& step) {
    if (!runner_) return;
    catchUp(g);
    write(step);
    runner_->ran();
    sinceCheckpoint_ = true;
}

void Writer::end(Game& g) {
    if (!runner_ || ended_) return;
    catchUp(g);
    if (sinceCheckpoint_) checkpoint(g);
    out_ += closingLines(g, runner_->values());
    ended_ = true;
}

std::string Writer::closingLines(Game& g, const Values& values) {
    std::string lines = "# How the game ended:\n";
    for (const char* name : kFinalTargets) {
        Target t;
        std::string unused;
        findTarget(g, name, t, unused);
        Step expect;
        expect.kind = Step::Kind::Expect;
        expect.target = name;
        expect.value = readTarget(g, t);
        lines += lineOf(expect) + "\n";
    }
    Step hash;
    hash.kind = Step::Kind::ExpectHash;
    hash.hash = values.hash();
    return lines + lineOf(hash) + "\n";
}

std::string Writer::localTime(std::time_t t) {
    std::tm local{}, utc{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0 || gmtime_s(&utc, &t) != 0) return "unknown";
#else
    if (!localtime_r(&t, &local) || !gmtime_r(&t, &utc)) return "unknown";
#endif
    // The offset: the local clock read as if it were UTC, less UTC itself.
    auto seconds = [](const std::tm& tm) {
        const int64_t y = tm.tm_year + 1900 - (tm.tm_mon < 2), era = (y >= 0 ? y : y - 399) / 400;
        const int64_t yoe = y - era * 400, mp = (tm.tm_mon + 9) % 12;
        const int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + (153 * mp + 2) / 5 + tm.tm_mday - 1 - 719468;
        return days * 86400 + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
    };
    const int64_t offset = (seconds(local) - seconds(utc)) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                  static_cast<int>((offset < 0 ? -offset : offset) / 60), static_cast<int>((offset < 0 ? -offset : offset) % 60));
    return text;
}

std::string Writer::take() {
    std::string lines;
    lines.swap(out_);
    return lines;
}

}  // namespace rec
