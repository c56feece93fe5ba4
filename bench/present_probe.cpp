// SPDX-License-Identifier: MIT
// A preloaded shim (LD_PRELOAD) that notes when the game first shows a frame,
// so start-up can be timed from outside without any hook in the game itself.
// It passes every call on to SDL unchanged. When HVEZDA_PRESENT_PROBE_FILE is
// set, the first SDL_RenderPresent (or, for a frame sent in part,
// SDL_UpdateWindowSurfaceRects) after the first SDL_ShowWindow writes
// "first_present_realtime_ns N" (CLOCK_REALTIME) into that file.
#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Window;

namespace {
bool shown = false;
bool reported = false;

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void report() {
    reported = true;
    const char* file = std::getenv("HVEZDA_PRESENT_PROBE_FILE");
    if (!file) return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const long long ns = static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
    // Written to a side name and renamed, so a reader never sees half a line.
    char tmp[4096];
    std::snprintf(tmp, sizeof tmp, "%s.part", file);
    if (FILE* f = std::fopen(tmp, "w")) {
        std::fprintf(f, "first_present_realtime_ns %lld\n", ns);
        std::fclose(f);
        std::rename(tmp, file);
    }
}
}  // namespace

extern "C" void SDL_ShowWindow(SDL_Window* window) {
    static auto real = next<void (*)(SDL_Window*)>("SDL_ShowWindow");
    real(window);
    shown = true;
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    static auto real = next<void (*)(SDL_Renderer*)>("SDL_RenderPresent");
    real(renderer);
    if (shown && !reported) report();
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
    static auto real = next<int (*)(SDL_Window*, const SDL_Rect*, int)>("SDL_UpdateWindowSurfaceRects");
    const int result = real(window, rects, count);
    if (shown && !reported) report();
    return result;
}
