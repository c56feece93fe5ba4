// SPDX-License-Identifier: MIT
// The real player through the six ModPlug_* calls, its callback on SDL's dummy driver's thread.
#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "musicplayer/openmpt_backend.h"

using namespace std::chrono_literals;

namespace {

class MusicBackend : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);  // never a real sound card from a test
        player = std::make_unique<musicplayer::OpenmptPlayer>(musicplayer::PlayerReport{});
    }
    void TearDown() override {
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // every instance is gone, so SDL audio must be let go too
        player.reset();
    }
    bool waitFor(int32_t h, uint64_t frames) {
        for (auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(5ms))
            if (player->instanceState(h).nonZeroFrames >= frames) return true;
        return false;
    }
    std::unique_ptr<musicplayer::OpenmptPlayer> player;
};

}  // namespace

TEST_F(MusicBackend, StartUpSequencePlaysOurSongAndCallsInAnyOrderAreSafe) {
    int32_t h = player->ModPlug_CreateEx("loop|true");
    ASSERT_GT(h, 0);
    // Stop never played, Play with nothing loaded, then the game's own calls, and Play again while playing.
    EXPECT_EQ((std::array{player->ModPlug_Stop(h), player->ModPlug_Play(h), player->ModPlug_SetWindow(h, 4242),
                          player->ModPlug_Load(h, HVEZDA_MOONLITE), player->ModPlug_Play(h), player->ModPlug_Play(h)}),
              (std::array<int32_t, 6>{0, 0, 1, 1, 1, 1}));
    // Play returns at once; the sound comes from SDL's thread afterwards.
    EXPECT_TRUE(waitFor(h, 4800)) << "callbacks: " << player->instanceState(h).callbacks;
    EXPECT_TRUE(player->instanceState(h).looping);
    // Loading again replaces the song and stops the old one.
    EXPECT_EQ(player->ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_FALSE(player->instanceState(h).playing);
    EXPECT_EQ(player->ModPlug_Play(h), 1);
    EXPECT_EQ(player->ModPlug_Stop(h), 1);
    const uint64_t callbacks = player->instanceState(h).callbacks;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(player->instanceState(h).callbacks, callbacks) << "callback ran after Stop";
    // Stopped twice, played after a stop, destroyed while playing, then destroyed again.
    EXPECT_EQ((std::array{player->ModPlug_Stop(h), player->ModPlug_Play(h), player->ModPlug_Destroy(h), player->ModPlug_Destroy(h)}),
              (std::array<int32_t, 4>{0, 1, 1, 0}));
    EXPECT_FALSE(player->instanceState(h).exists);
}

// The platform's pause holds the output, for a player made meanwhile too; at volume 0 the song goes on, silent.
TEST_F(MusicBackend, PausedOutputHoldsAndVolumeZeroIsSilent) {
    int32_t h = player->ModPlug_CreateEx("loop|true");
    ASSERT_EQ(player->ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    player->pauseOutput(true);
    ASSERT_EQ(player->ModPlug_Play(h), 1);
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(player->instanceState(h).callbacks, 0u);
    player->pauseOutput(false);
    EXPECT_TRUE(waitFor(h, 4800));
    player->pauseOutput(true);
    std::this_thread::sleep_for(40ms);  // a callback under way finishes
    const uint64_t held = player->instanceState(h).callbacks;
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(player->instanceState(h).callbacks, held);
    player->setVolume(0);
    player->pauseOutput(false);
    std::this_thread::sleep_for(40ms);
    const musicplayer::OpenmptInstanceState silent = player->instanceState(h);
    std::this_thread::sleep_for(80ms);
    EXPECT_GT(player->instanceState(h).callbacks, silent.callbacks);
    EXPECT_EQ(player->instanceState(h).nonZeroFrames, silent.nonZeroFrames);
    player->setVolume(100);
    player->ModPlug_Destroy(h);
}

TEST_F(MusicBackend, ParametersHandlesAndBadHandles) {
    const std::pair<const char*, bool> params[] = {{"loop|true", true}, {"loop|false", false}, {"", false},
                                                   {nullptr, false},    {"volume|3|loop|1", true},
                                                   {"LOOP|True", true}, {"loop", false}, {"true|loop", false}};
    int32_t last = 0;
    for (auto [text, loop] : params) {
        const int32_t h = player->ModPlug_CreateEx(text);
        ASSERT_GT(h, last) << "a handle used again";
        EXPECT_EQ(player->instanceState(h).looping, loop) << (text ? text : "(null)");
        player->ModPlug_Destroy(h);
        last = h;
    }
    for (int32_t h : {0, -5, 0x7fffffff, -0x7fffffff - 1, 999999, last}) {
        const std::array<int32_t, 5> said{player->ModPlug_SetWindow(h, 1), player->ModPlug_Load(h, HVEZDA_MOONLITE),
                                          player->ModPlug_Play(h), player->ModPlug_Stop(h), player->ModPlug_Destroy(h)};
        EXPECT_EQ(said, (std::array<int32_t, 5>{})) << h;  // SetWindow, Load, Play, Stop, Destroy all refuse
        EXPECT_FALSE(player->instanceState(h).exists) << h;
    }
}

// Made, played and torn down over and over while the callback renders (run under ThreadSanitizer too).
TEST_F(MusicBackend, TeardownWhileTheCallbackRuns) {
    int heard = 0;
    for (int i = 0; i < 50; ++i) {
        const int32_t h = player->ModPlug_CreateEx("loop|true");
        ASSERT_TRUE(player->ModPlug_Load(h, HVEZDA_MOONLITE) == 1 && player->ModPlug_Play(h) == 1) << i;
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + i * 37 % 40));
        heard += player->instanceState(h).callbacks > 0;
        // Stop then Destroy, Destroy while playing, or a stop and restart first.
        if (i % 3 != 1) player->ModPlug_Stop(h);
        if (i % 3 == 2) player->ModPlug_Play(h), player->ModPlug_Stop(h), player->ModPlug_Destroy(h);
        player->ModPlug_Destroy(h);
        EXPECT_FALSE(player->instanceState(h).exists) << i;
    }
    EXPECT_GE(heard, 25) << "the callback hardly ran: nothing was tested";
}
