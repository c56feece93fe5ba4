// Frames drawn and sent in part lose nothing: after every frame the pixels
// on the X server equal a whole frame drawn afresh from the same scene. Two
// scripted games in the real window, one won and one lost, through normal
// play, the boss's approach and fight and on past the end; on the way the
// window is uncovered, spoiled and restored, and resized with its picture
// scaled and letterboxed. Runs under xvfb-run (see CMakeLists.txt).
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/frames.h"
#include "platform/input.h"
#include "platform/sdl_canvas.h"
#include "platform/window.h"
#include "player/player.h"
#include "shell/shell.h"
#include "x11_pixels.h"

using namespace hvezda;

namespace {

// A whole frame, drawn by SDL's software renderer into a surface of the
// window's output size, scaled and placed as the window's renderer does.
class WholeFrame {
public:
    WholeFrame(plat::FontCache& fonts, int w, int h)
        : surface_(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888)),
          renderer_(SDL_CreateSoftwareRenderer(surface_)) {
        SDL_RenderSetLogicalSize(renderer_, plat::kWindowWidth, plat::kWindowHeight);
        SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
        canvas_ = std::make_unique<plat::SdlCanvas>(renderer_, fonts, plat::embeddedPictures());
    }
    ~WholeFrame() {
        canvas_.reset();
        SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(surface_);
    }
    const SDL_Surface* draw(Scene& scene) {
        plat::Painter(*canvas_).draw(scene);
        SDL_RenderFlush(renderer_);
        return surface_;
    }

private:
    SDL_Surface* surface_;
    SDL_Renderer* renderer_;
    std::unique_ptr<plat::SdlCanvas> canvas_;
};

class PartialFrames : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SDL_getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: ctest runs it under xvfb-run";
        ASSERT_EQ(TTF_Init(), 0);
        fonts_ = std::make_unique<plat::FontCache>();
        Game probe;
        ASSERT_EQ(fonts_->openSceneFonts(probe.scene), "");
        std::string why;
        auto w = plat::openGameWindow(why);
        ASSERT_TRUE(w) << why;
        window_ = *w;
        canvas_ = std::make_unique<plat::SdlCanvas>(window_.renderer, *fonts_, plat::embeddedPictures());
        SDL_SetWindowPosition(window_.window, 0, 0);  // wholly on the screen, so the server can be read
        SDL_ShowWindow(window_.window);
    }
    void TearDown() override {
        canvas_.reset();
        if (window_.window) plat::closeGameWindow(window_);
        fonts_.reset();
        TTF_Quit();
        SDL_Quit();
    }

    // Hands every waiting event to the game's input; true when one of the
    // given kind came for the game window.
    bool pump(plat::InputRouter& input, Uint8 wanted = 0) {
        bool seen = false;
        for (SDL_Event e; SDL_PollEvent(&e);) {
            seen = seen || (e.type == SDL_WINDOWEVENT && e.window.windowID == window_.id && e.window.event == wanted);
            input.handle(e);
        }
        return seen;
    }
    bool waitFor(plat::InputRouter& input, Uint8 wanted) {
        for (int i = 0; i < 200; ++i, SDL_Delay(10))
            if (pump(input, wanted)) return true;
        return false;
    }

    // The window on the server against a whole frame of the scene.
    void expectWhole(Scene& scene, const std::string& when) {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(window_.renderer, &w, &h);
        if (!whole_ || wholeSize_ != std::make_pair(w, h)) {
            whole_.reset();
            whole_ = std::make_unique<WholeFrame>(*fonts_, w, h);
            wholeSize_ = {w, h};
        }
        const SDL_Surface* want = whole_->draw(scene);
        int sw = 0, sh = 0;
        ASSERT_TRUE(readWindowPixels(window_.window, shown_, sw, sh)) << "cannot read the window from the server";
        ASSERT_EQ(std::make_pair(sw, sh), std::make_pair(w, h)) << when;
        int wrong = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(want->pixels) + y * want->pitch);
            for (int x = 0; x < w; ++x) {
                if ((row[x] & 0xFFFFFFu) == shown_[static_cast<size_t>(y * w + x)]) continue;
                if (wrong++ == 0) firstX = x, firstY = y;
            }
        }
        ASSERT_EQ(wrong, 0) << when << ": " << wrong << " pixels differ from a whole frame, the first at " << firstX
                            << "," << firstY;
        ++checked_;
    }

    std::unique_ptr<plat::FontCache> fonts_;
    plat::GameWindow window_;
    std::unique_ptr<plat::SdlCanvas> canvas_;
    std::unique_ptr<WholeFrame> whole_;
    std::pair<int, int> wholeSize_;
    std::vector<uint32_t> shown_;
    int checked_ = 0;
};

// The player's side of a game, once every 10 ms: normal play with held
// arrows and a shot every 100 ms; from 1.5 s the score is past the boss's
// threshold; in the fight the ship follows the boss and fires, staying above
// its shots to win, or sitting low in them to lose. Each fight is shortened
// to its last few strikes.
void play(Game& g, bool win, int64_t t) {
    Scene& s = g.scene;
    const auto hold = [&](int key, bool on) { on ? keyDownEvent(g, key, 0) : keyUpEvent(g, key, 0); };
    if (t == 1500) s.score.Caption = "1008";
    if (!s.Timerboss.Enabled) {
        hold(keys::left, t % 2000 < 1000);
        hold(keys::right, t % 2000 >= 1000);
        hold(keys::x, t % 100 == 0);
        return;
    }
    if (win && s.bossenergy.Top < 1140) s.bossenergy.Top = 1140;
    if (!win && s.energy.Top < 1200) s.energy.Top = 1200;
    const float ship = s.Picture1.Left + s.Picture1.Width / 2, boss = s.enemyboss.Left + s.enemyboss.Width / 2;
    hold(keys::right, ship < boss - 200);
    hold(keys::left, ship > boss + 200);
    hold(keys::up, win && s.Picture1.Top >= 3220);
    hold(keys::down, win ? s.Picture1.Top < 3000 : s.Picture1.Top < 6000);
    hold(keys::x, t % 20 == 0);
}

TEST_F(PartialFrames, EveryFrameOnTheServerIsAWholeFrame) {
    for (const bool win : {true, false}) {
        Game game;
        game.random.seed = [n = uint64_t{7}]() mutable { return n = n * 6364136223846793005ull + 1442695040888963407ull; };
        plat::Painter painter(*canvas_);
        plat::InputRouter input(game, window_.id);
        plat::Frames frames(window_.renderer, painter);
        ASSERT_TRUE(frames.drawsInPart()) << "SDL's software renderer was not chosen for the window";
        const std::string name = win ? "won game" : "lost game";
        const auto frame = [&](const std::string& when) {
            frames.present(game.scene, input.takeRedrawRequest());
            expectWhole(game.scene, name + ", " + when + " at " + std::to_string(game.clock) + " ms");
        };
        Form_Load(game);
        pump(input);
        frame("start");

        // Window events at fixed moments, each followed by a frame like any other.
        int64_t endedAt = -1, fightAt = -1;
        while (!HasFatalFailure() && (endedAt < 0 || game.clock < endedAt + 1500) && game.clock < 60'000) {
            const int64_t due = nextDueTime(game);
            ASSERT_NE(due, kNever);
            if (due % 10 == 0) play(game, win, due);
            runInstant(game, due);
            if (endedAt < 0 && game.scene.Label3.Visible) endedAt = game.clock;
            if (fightAt < 0 && game.scene.Timerboss.Enabled) fightAt = game.clock;
            std::string when = "a frame";
            if (win && due == 500) {
                // A window over it, then gone: the server shows its leftovers.
                SDL_Window* cover = SDL_CreateWindow("cover", 100, 100, 300, 200, SDL_WINDOW_BORDERLESS);
                ASSERT_TRUE(cover);
                SDL_Surface* s = SDL_GetWindowSurface(cover);
                SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
                SDL_UpdateWindowSurface(cover);
                pump(input);
                SDL_DestroyWindow(cover);
                ASSERT_TRUE(waitFor(input, SDL_WINDOWEVENT_EXPOSED)) << "no exposure came";
                when = "the first frame after an exposure";
            } else if (win && due == 1000) {
                // Back from the task bar, with whatever the desktop left in it.
                spoilWindow(window_.window, 0, 0, 400, 300, 0x00FF00);
                SDL_Event e{};
                e.type = SDL_WINDOWEVENT;
                e.window.windowID = window_.id;
                e.window.event = SDL_WINDOWEVENT_RESTORED;
                SDL_PushEvent(&e);
                pump(input);
                when = "the first frame after a restore";
            } else if (win && due == 2000) {
                // Stale for a reason the frames cannot see (scale or fullscreen changed elsewhere).
                spoilWindow(window_.window, 200, 200, 100, 100, 0x0000FF);
                frames.forceFullRedraw();
                pump(input);
                when = "the first frame after a forced redraw";
            } else if (due == 4000 || due == 4300 || due == 4500 || due == 4700) {
                // Larger, its picture scaled by 2 and letterboxed (as fullscreen
                // shows it), then back; then scaled by 2 exactly, then back.
                const bool larger = due == 4000 || due == 4500;
                const int w = due == 4000 ? 1400 : plat::kWindowWidth * (larger ? 2 : 1);
                const int h = due == 4000 ? 1190 : plat::kWindowHeight * (larger ? 2 : 1);
                SDL_SetWindowSize(window_.window, w, h);
                ASSERT_TRUE(waitFor(input, SDL_WINDOWEVENT_SIZE_CHANGED)) << "the window kept its size";
                when = "the first frame at " + std::to_string(w) + " x " + std::to_string(h);
            } else {
                pump(input);
            }
            frame(when);
        }
        ASSERT_GE(endedAt, 0) << name << " did not end";
        EXPECT_EQ(game.scene.Label3.Caption, win ? "WINNER" : "GAME OVER");
        EXPECT_GT(frames.partial(), frames.presented() * 9 / 10) << name << ": frames drawn in part";
        std::printf("%s: %llu frames presented, %llu of them in part, %llu skipped; fight %lld to %lld ms\n", name.c_str(),
                    static_cast<unsigned long long>(frames.presented()),
                    static_cast<unsigned long long>(frames.partial()),
                    static_cast<unsigned long long>(frames.skipped()), static_cast<long long>(fightAt),
                    static_cast<long long>(endedAt));
    }
    std::printf("%d frames compared\n", checked_);
}

}  // namespace
