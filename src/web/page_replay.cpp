// SPDX-License-Identifier: MIT
#include "page_replay.h"

#include <algorithm>
#include <sstream>

#include "shell/shell.h"

namespace webreplay {

PageReplay::PageReplay(hvezda::Game& g, const std::string& recording) : g_(g), runner_(g) {
    std::istringstream in(recording);
    for (std::string line; std::getline(in, line);) lines_.push_back(line);
}

bool PageReplay::over(rec::Verdict::Status status, const std::string& message) {
    over_ = true;
    verdict_.status = status;
    verdict_.message = message;
    return false;
}

bool PageReplay::runUntil(int64_t ms) {
    if (over_) return false;
    const auto at = [this] { return " (" + std::to_string(g_.clock) + " ms of play)"; };
    while (g_.scene.Form1.open) {
        if (left_ > 0) {
            const int64_t step = std::min(left_, ms - g_.clock);
            if (step <= 0) return true;  // the rest is the next frame's
            hvezda::advance(g_, step);
            left_ -= step;
            if (left_ == 0) runner_.ran();
            continue;
        }
        if (next_ == lines_.size()) break;
        const std::string& line = lines_[next_++];
        rec::Step step;
        std::vector<std::string_view> words;
        std::string error;
        const rec::LineKind kind = rec::readLine(g_, line, step, words, error);
        if (kind == rec::LineKind::Nothing) continue;
        if (kind != rec::LineKind::Step)
            return over(rec::Verdict::Refused, "line " + std::to_string(next_) + ": " + (error.empty() ? line : error));
        if (step.kind == rec::Step::Kind::Advance) {
            left_ = step.ms;
            if (left_ == 0) {  // the ticks due now
                hvezda::advance(g_, 0);
                runner_.ran();
            }
            continue;
        }
        if (!runner_.run(step, error)) return over(rec::Verdict::Unmet, "line " + std::to_string(next_) + ": " + error + at());
        finalState_ = finalState_ || step.kind == rec::Step::Kind::ExpectHash;
    }
    if (!finalState_) return over(rec::Verdict::Cut, "the recording ends without the game's final state" + at());
    return over(rec::Verdict::Verified, "the replay stayed in sync" + at());
}

}  // namespace webreplay
