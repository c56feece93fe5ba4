// SPDX-License-Identifier: MIT
// After every frame of a won and a lost game, drawn in part, the window on the X server shows a whole frame.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/frames.h"
#include "platform/input.h"
#include "platform/pause_overlay.h"
#include "draw/sdl_canvas.h"
#include "platform/window.h"
#include "player/player.h"
#include "shell/shell.h"
#include "autoplay.h"
#include "x11_pixels.h"

using namespace hvezda;

namespace {

class PartialFrames : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SDL_getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: ctest runs it under xvfb-run";
        ASSERT_EQ(TTF_Init(), 0);
        Game probe;
        fonts_ = std::make_unique<draw::FontCache>();
        ASSERT_EQ(fonts_->openSceneFonts(probe.scene), "");
        std::string why;
        auto w = platform::openGameWindow(why);
        ASSERT_TRUE(w) << why;
        window_ = *w;
        canvas_ = std::make_unique<draw::SdlCanvas>(window_.renderer, *fonts_, draw::embeddedPictures());
        SDL_SetWindowPosition(window_.window, 0, 0);  // wholly on the screen, so the server can read it
        SDL_ShowWindow(window_.window);
    }
    void TearDown() override {
        canvas_.reset();
        dropWhole(nullptr);
        if (window_.window) platform::closeGameWindow(window_);
        fonts_.reset();
        draw::releaseFontLookup();
        TTF_Quit();
        SDL_Quit();
    }

    // Hands the waiting events to the input (or drops them); true when one of kind `wanted` came within 2 s.
    bool pump(platform::InputRouter& input, int wanted = -1, bool tell = true) {
        for (int i = 0; i < 200; ++i, SDL_Delay(10)) {
            bool seen = wanted < 0;
            for (SDL_Event e; SDL_PollEvent(&e);) {
                seen = seen || (e.type == SDL_WINDOWEVENT && e.window.windowID == window_.id && e.window.event == wanted);
                if (tell) input.handle(e);
            }
            if (seen) return true;
        }
        return false;
    }

    // The window on the server against a whole frame drawn by SDL's software renderer, scaled and placed as it.
    void expectWhole(Scene& scene, bool paused, const std::string& when) {
        int w = 0, h = 0, sw = 0, sh = 0;
        SDL_GetRendererOutputSize(window_.renderer, &w, &h);
        if (!surface_ || surface_->w != w || surface_->h != h) {
            dropWhole(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
            renderer_ = SDL_CreateSoftwareRenderer(surface_);
            SDL_RenderSetLogicalSize(renderer_, draw::kWindowWidth, draw::kWindowHeight);
            SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
            whole_ = std::make_unique<draw::SdlCanvas>(renderer_, *fonts_, draw::embeddedPictures());
        }
        draw::Painter(*whole_).draw(scene);
        if (paused) platform::drawPauseOverlay(renderer_, *fonts_);
        SDL_RenderFlush(renderer_);
        ASSERT_TRUE(readWindowPixels(window_.window, shown_, sw, sh)) << "cannot read the window from the server";
        ASSERT_EQ(sw * sh, w * h) << when;
        // 32-bit rows without padding, as the window's own.
        const auto* want = static_cast<const uint32_t*>(surface_->pixels);
        size_t i = 0;
        while (i < shown_.size() && (want[i] & 0xFFFFFFu) == shown_[i]) ++i;
        ASSERT_EQ(i, shown_.size()) << when << ": unlike a whole frame from pixel " << i % static_cast<size_t>(w)
                                    << "," << i / static_cast<size_t>(w);
    }
    void dropWhole(SDL_Surface* next) {
        whole_.reset();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(std::exchange(surface_, next));
        renderer_ = nullptr;
    }

    std::unique_ptr<draw::FontCache> fonts_;
    platform::GameWindow window_;
    std::unique_ptr<draw::SdlCanvas> canvas_, whole_;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::vector<uint32_t> shown_;
};

TEST_F(PartialFrames, EveryFrameOnTheServerIsAWholeFrame) {
    for (const bool win : {true, false}) {
        Game game;
        game.random.seed = [n = uint64_t{7}]() mutable { return n = n * 6364136223846793005ull + 1442695040888963407ull; };
        draw::Painter painter(*canvas_);
        // The covering window takes the focus: a pause then would hide a missed exposure behind its whole frame.
        platform::InputOptions options;
        options.pauseOnFocusLoss = false;
        platform::InputRouter input(game, window_.id, options);
        platform::Frames frames(window_.renderer, painter);
        ASSERT_TRUE(frames.drawsInPart()) << "SDL's software renderer was not chosen for the window";
        frames.setOverlay([&] {
            if (input.pause().paused()) platform::drawPauseOverlay(window_.renderer, *fonts_);
        });
        const std::string name = win ? "won game" : "lost game";
        Form_Load(game);
        int64_t endedAt = -1;
        for (int64_t due = 0; !HasFatalFailure() && (endedAt < 0 || due < endedAt + 1500) && due < 60'000;) {
            std::string when = "play";
            if (win && (due == 500 || due == 1000 || due == 2000)) {
                // A window over it, then gone, leaves its pixels behind: an exposure, a restore or a forced redraw.
                SDL_Window* cover = SDL_CreateWindow("cover", 100, 100, 300, 200, SDL_WINDOW_BORDERLESS);
                ASSERT_TRUE(cover);
                SDL_Surface* s = SDL_GetWindowSurface(cover);
                SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
                SDL_UpdateWindowSurface(cover);
                pump(input);
                SDL_DestroyWindow(cover);
                ASSERT_TRUE(pump(input, SDL_WINDOWEVENT_EXPOSED, due == 500)) << "no exposure came";
                SDL_Event e{.window = {SDL_WINDOWEVENT, 0, window_.id, SDL_WINDOWEVENT_RESTORED, 0, 0, 0, 0, 0}};
                if (due == 1000) SDL_PushEvent(&e), pump(input);
                when = due == 500 ? "an exposure" : due == 1000 ? "a restore" : "a forced redraw";
            } else if (due == 4000 || due == 4300) {
                // Larger, the picture scaled by 2 and letterboxed as fullscreen shows it; then back.
                SDL_SetWindowSize(window_.window, due == 4000 ? 1400 : draw::kWindowWidth,
                                  due == 4000 ? 1190 : draw::kWindowHeight);
                ASSERT_TRUE(pump(input, SDL_WINDOWEVENT_SIZE_CHANGED)) << "the window kept its size";
                when = "a resize";
            } else {
                pump(input);
            }
            frames.present(game.scene, input.takeRedrawRequest() || (win && due == 2000));
            const std::string at = " at " + std::to_string(game.clock) + " ms";
            expectWhole(game.scene, input.pause().paused(), name + ", the frame after " + when + at);
            if (win && due == 3000) {
                // Paused, and the panel's text changes under the dimmed picture.
                input.setPaused(true);
                for (const auto click : {Label5_Click, Label6_Click}) {
                    frames.present(game.scene, input.takeRedrawRequest());
                    expectWhole(game.scene, true, name + ", paused" + at);
                    click(game);
                }
                input.setPaused(false);
            }

            due = nextDueTime(game);
            ASSERT_NE(due, kNever);
            if (due % 10 == 0) playStep(game, win ? Aim::Win : Aim::Lose, due);
            runInstant(game, due);
            if (endedAt < 0 && game.scene.Label3.Visible) endedAt = due;
        }
        if (HasFatalFailure()) return;
        ASSERT_GE(endedAt, 0) << name << " did not end";
        EXPECT_EQ(game.scene.Label3.Caption, win ? "WINNER" : "GAME OVER");
        // Frames with nothing new are not drawn; the others are drawn in part.
        EXPECT_GT(frames.skipped(), 0u);
        EXPECT_GT(frames.partial(), frames.presented() * 9 / 10) << name;
    }
}

// SDL's software renderer's vsync would only sleep in the present: the window takes none and the loop paces itself.
// A wake-up reaching the X server after the window is gone, as SDL's can at exit, does not end the program.
TEST(GameWindow, SoftwareVsyncIsPacedByTheGameAndALateWakeUpChangesNothing) {
    if (!SDL_getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: ctest runs it under xvfb-run";
    std::string why;
    auto w = platform::openGameWindow(why, {1, false, true});
    ASSERT_TRUE(w) << why;
    SDL_RendererInfo info{};
    ASSERT_EQ(SDL_GetRendererInfo(w->renderer, &info), 0);
    EXPECT_EQ(info.flags & (SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC), Uint32{SDL_RENDERER_SOFTWARE});
    EXPECT_TRUE(!w->presentWaits && w->refreshNs > 0) << w->refreshNs;
    EXPECT_TRUE(wakeAfterClose(w->window, [&] { platform::closeGameWindow(*w); }));
    SDL_Quit();
}

}  // namespace
