// SPDX-License-Identifier: MIT
#include "platform/realtime.h"

#include <SDL.h>
#include <time.h>

#include <algorithm>

#include "platform/monotonic.h"

namespace platform {

LoopServices sdlLoopServices(InputRouter& input, std::function<bool()> present, std::function<bool()> running,
                             std::function<void()> housekeeping) {
    LoopServices s;
    s.nowNs = monotonicNs;
    s.handleEvent = [&input, housekeeping = std::move(housekeeping)](int timeoutMs) {
        if (housekeeping) housekeeping();
        if (input.repeat()) return EventResult::Handled;
        if (timeoutMs > 0) {
            // A gamepad's repeat due before the wait would end cuts it short.
            const int64_t untilRepeat = input.nextRepeatNs() - monotonicNs();
            if (untilRepeat < int64_t{timeoutMs} * 1'000'000)
                timeoutMs = static_cast<int>(std::max<int64_t>(0, (untilRepeat + 999'999) / 1'000'000));
        }
        SDL_Event e;
        const int got = timeoutMs > 0 ? SDL_WaitEventTimeout(&e, timeoutMs) : SDL_PollEvent(&e);
        if (!got) return input.repeat() ? EventResult::Handled : EventResult::None;
        return input.handle(e) ? EventResult::Handled : EventResult::Ignored;
    };
    s.sleepNs = [](int64_t ns) {
        const timespec t{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        nanosleep(&t, nullptr);
    };
    s.yield = [] { SDL_Delay(0); };
    s.present = std::move(present);
    s.running = std::move(running);
    s.pause = &input.pause();
    s.newGame = [&input] { return input.takeNewGame(); };
    return s;
}

}  // namespace platform
