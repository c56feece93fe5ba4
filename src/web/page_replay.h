// SPDX-License-Identifier: MIT
// A recording played back in a page at the pace it was played: the browser
// calls the page once a frame and cannot be kept waiting, so the steps run a
// frame's worth at a time (an advance cut where the frame's time ends),
// through the same step runner as every replay, its checks included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/lines.h"
#include "record/replay.h"
#include "scene/game.h"

namespace webreplay {

class PageReplay {
public:
    // `recording`: its text, checked whole (rec::checkRecording); g's start-up has run.
    PageReplay(hvezda::Game& g, const std::string& recording);
    // Runs every step due when `ms` of play have passed since the start;
    // false once the replay is over (verdict() says how it went).
    bool runUntil(int64_t ms);
    const rec::Verdict& verdict() const { return verdict_; }

private:
    bool over(rec::Verdict::Status status, const std::string& message);

    hvezda::Game& g_;
    std::vector<std::string> lines_;
    size_t next_ = 0;       // the next line to read
    int64_t left_ = 0;      // of the advance being run
    rec::StepRunner runner_;
    rec::Verdict verdict_;
    bool over_ = false;
    bool finalState_ = false;
};

}  // namespace webreplay
