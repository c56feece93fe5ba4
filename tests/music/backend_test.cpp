// SPDX-License-Identifier: MIT
// The real backend through the six ModPlug_* calls, on SDL's dummy audio driver,
// so the callback really runs on SDL's audio thread (bad files: tests/hostile).
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <string>
#include <thread>

#include "musicplayer/openmpt_backend.h"

using namespace std::chrono_literals;

namespace {

class MusicBackend : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);  // never a real sound card from a test
        ASSERT_TRUE(choosePlayerBackend("real"));
    }
    void TearDown() override {
        choosePlayerBackend("null");
        // Every instance is gone, so the backend must have let SDL audio go too.
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    }
};

bool waitFor(int32_t h, uint64_t frames) {
    for (auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(5ms))
        if (openmptInstanceState(h).nonZeroFrames >= frames) return true;
    return false;
}

}  // namespace

TEST_F(MusicBackend, StartUpSequencePlaysOurSongAndCallsInAnyOrderAreSafe) {
    int32_t h = ModPlug_CreateEx("loop|true");
    ASSERT_GT(h, 0);
    EXPECT_EQ(ModPlug_Stop(h), 0);  // never played
    EXPECT_EQ(ModPlug_Play(h), 0);  // nothing loaded
    EXPECT_EQ(ModPlug_SetWindow(h, 4242), 1);
    EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_EQ(ModPlug_Play(h), 1);
    EXPECT_EQ(ModPlug_Play(h), 1);  // already playing: same device
    // Play returns at once; the sound comes from SDL's thread afterwards.
    EXPECT_TRUE(waitFor(h, 4800)) << "callbacks: " << openmptInstanceState(h).callbacks;
    EXPECT_TRUE(openmptInstanceState(h).looping);
    // Loading again replaces the song and stops the old one.
    EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_FALSE(openmptInstanceState(h).playing);
    EXPECT_EQ(ModPlug_Play(h), 1);
    EXPECT_EQ(ModPlug_Stop(h), 1);
    const uint64_t callbacks = openmptInstanceState(h).callbacks;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, callbacks) << "callback ran after Stop";
    EXPECT_EQ(ModPlug_Stop(h), 0);
    EXPECT_EQ(ModPlug_Play(h), 1);     // and again after a stop
    EXPECT_EQ(ModPlug_Destroy(h), 1);  // while playing
    EXPECT_EQ(ModPlug_Destroy(h), 0);
    EXPECT_FALSE(openmptInstanceState(h).exists);
}

// The platform's pause holds the sound output, for a player made meanwhile
// too; at volume 0 the song goes on, silent.
TEST_F(MusicBackend, PausedOutputHoldsAndVolumeZeroIsSilent) {
    int32_t h = ModPlug_CreateEx("loop|true");
    ASSERT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    pausePlayerOutput(true);
    ASSERT_EQ(ModPlug_Play(h), 1);
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, 0u);
    pausePlayerOutput(false);
    EXPECT_TRUE(waitFor(h, 4800));
    pausePlayerOutput(true);
    std::this_thread::sleep_for(40ms);  // a callback under way finishes
    const uint64_t held = openmptInstanceState(h).callbacks;
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, held);
    setPlayerVolume(0);
    pausePlayerOutput(false);
    std::this_thread::sleep_for(40ms);
    const OpenmptInstanceState silent = openmptInstanceState(h);
    std::this_thread::sleep_for(80ms);
    EXPECT_GT(openmptInstanceState(h).callbacks, silent.callbacks);
    EXPECT_EQ(openmptInstanceState(h).nonZeroFrames, silent.nonZeroFrames);
    setPlayerVolume(100);
    ModPlug_Destroy(h);
}

TEST_F(MusicBackend, ParametersHandlesAndBadHandles) {
    const std::pair<const char*, bool> params[] = {{"loop|true", true}, {"loop|false", false}, {"", false},
                                                   {nullptr, false},    {"volume|3|loop|1", true},
                                                   {"LOOP|True", true}, {"loop", false}, {"true|loop", false}};
    int32_t last = 0;
    for (auto [text, loop] : params) {
        const int32_t h = ModPlug_CreateEx(text);
        ASSERT_GT(h, last) << "a handle used again";
        EXPECT_EQ(openmptInstanceState(h).looping, loop) << (text ? text : "(null)");
        ModPlug_Destroy(h);
        last = h;
    }
    for (int32_t h : {0, -5, 0x7fffffff, -0x7fffffff - 1, 999999, last}) {
        EXPECT_EQ(ModPlug_SetWindow(h, 1), 0) << h;
        EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 0) << h;
        EXPECT_EQ(ModPlug_Play(h), 0) << h;
        EXPECT_EQ(ModPlug_Stop(h), 0) << h;
        EXPECT_EQ(ModPlug_Destroy(h), 0) << h;
        EXPECT_FALSE(openmptInstanceState(h).exists) << h;
    }
}

// Made, played and torn down over and over while SDL's audio thread renders,
// as by a player quitting mid-song (CMakeLists.txt runs this under
// ThreadSanitizer too, to catch any race with the callback).
TEST_F(MusicBackend, TeardownWhileTheCallbackRuns) {
    int heard = 0;
    for (int i = 0; i < 50; ++i) {
        const int32_t h = ModPlug_CreateEx("loop|true");
        ASSERT_TRUE(ModPlug_Load(h, HVEZDA_MOONLITE) == 1 && ModPlug_Play(h) == 1) << i;
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + i * 37 % 40));
        heard += openmptInstanceState(h).callbacks > 0;
        // Stop then Destroy, Destroy while playing, or a stop and restart first.
        if (i % 3 != 1) ModPlug_Stop(h);
        if (i % 3 == 2) ModPlug_Play(h), ModPlug_Stop(h), ModPlug_Destroy(h);
        ModPlug_Destroy(h);
        EXPECT_FALSE(openmptInstanceState(h).exists) << i;
    }
    EXPECT_GE(heard, 25) << "the callback hardly ran: nothing was tested";
}
