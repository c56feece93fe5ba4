// SPDX-License-Identifier: MIT
// Creates, plays and tears down the real backend over and over while SDL's
// audio thread is rendering, the way a player quitting mid-song would. Built
// twice: plainly, and with ThreadSanitizer to catch any race with the callback.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "musicplayer/openmpt_backend.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SONG\n", argv[0]);
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!choosePlayerBackend("real")) {
        std::fprintf(stderr, "no real music backend in the table\n");
        return 1;
    }

    constexpr int kCycles = 50;
    int failures = 0, heard = 0;
    uint32_t lcg = 7;
    for (int i = 0; i < kCycles; ++i) {
        int32_t h = ModPlug_CreateEx("loop|true");
        ModPlug_SetWindow(h, i);
        if (ModPlug_Load(h, argv[1]) != 1 || ModPlug_Play(h) != 1) {
            std::fprintf(stderr, "cycle %d: could not start the song\n", i);
            ++failures;
        }
        lcg = lcg * 1664525u + 1013904223u;
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + (lcg >> 24) % 40));
        if (openmptInstanceState(h).callbacks > 0) ++heard;
        // Vary the teardown: Stop then Destroy, Destroy while playing, or a
        // stop/restart first.
        switch (i % 3) {
            case 0: ModPlug_Stop(h); ModPlug_Destroy(h); break;
            case 1: ModPlug_Destroy(h); break;
            case 2: ModPlug_Stop(h); ModPlug_Play(h); ModPlug_Stop(h); ModPlug_Destroy(h); ModPlug_Destroy(h); break;
        }
        if (openmptInstanceState(h).exists) {
            std::fprintf(stderr, "cycle %d: handle %d survived Destroy\n", i, h);
            ++failures;
        }
    }
    // Without the callback actually running, nothing here would have been tested.
    if (heard < kCycles / 2) {
        std::fprintf(stderr, "the audio callback ran in only %d of %d cycles\n", heard, kCycles);
        ++failures;
    }
    std::printf("%d passed, %d failed\n", kCycles - failures, failures);
    return failures == 0 ? 0 : 1;
}
