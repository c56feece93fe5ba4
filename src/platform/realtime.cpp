#include "platform/realtime.h"

#include <SDL.h>
#include <time.h>

namespace plat {

int64_t monotonicNs() {
    static const Uint64 freq = SDL_GetPerformanceFrequency();
    const Uint64 t = SDL_GetPerformanceCounter();
    // Split to keep the multiplication from overflowing on slow counters.
    return static_cast<int64_t>((t / freq) * 1'000'000'000ull + (t % freq) * 1'000'000'000ull / freq);
}

LoopServices sdlLoopServices(InputRouter& input, std::function<void()> present, std::function<bool()> running) {
    LoopServices s;
    s.nowNs = monotonicNs;
    s.handleEvent = [&input](int timeoutMs) {
        SDL_Event e;
        const int got = timeoutMs > 0 ? SDL_WaitEventTimeout(&e, timeoutMs) : SDL_PollEvent(&e);
        if (!got) return EventResult::None;
        return input.handle(e) ? EventResult::Handled : EventResult::Ignored;
    };
    s.sleepNs = [](int64_t ns) {
        const timespec t{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        nanosleep(&t, nullptr);
    };
    s.yield = [] { SDL_Delay(0); };
    s.present = std::move(present);
    s.running = std::move(running);
    return s;
}

}  // namespace plat
