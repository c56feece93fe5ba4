// SPDX-License-Identifier: MIT
// The real-time loop for a host that calls the program back once a frame
// instead of letting it wait (a browser's animation frames): each call runs,
// in order, every tick instant and every event that came due since the last
// call, each at its place on the real clock as runLoop would have run it, and
// then shows one frame if anything happened. No SDL in here.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/loop.h"
#include "scene/game.h"

namespace platform {

class FrameLoop {
public:
    // The game's clock (g.clock) is taken to be "now" at the first frame.
    // `nextEventNs` tells when the first event waiting for services.handleEvent
    // arrived, on nowNs's clock (hvezda::kNever: none is waiting); events and
    // ticks reach the game in the order they came due.
    FrameLoop(hvezda::Game& g, LoopServices services, std::function<int64_t()> nextEventNs,
              LoopTuning tuning = {})
        : g_(g), svc_(std::move(services)), nextEventNs_(std::move(nextEventNs)), tuning_(tuning),
          rhythm_(svc_.pause) {}

    // One frame: false once services.running() has turned false.
    bool frame(LoopStats& stats, const LoopProbe& probe = {});

private:
    hvezda::Game& g_;
    LoopServices svc_;
    std::function<int64_t()> nextEventNs_;
    LoopTuning tuning_;
    Rhythm rhythm_;
    bool started_ = false;
};

}  // namespace platform
