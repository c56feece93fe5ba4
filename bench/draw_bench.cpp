// SPDX-License-Identifier: MIT
// Drawing one frame of a busy scene with the software renderer into a
// surface: the boss fight with shots in the air, the warning on the status
// line, the credits in the panel, every star and both gauges.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "autoplay.h"
#include "draw/damage.h"
#include "draw/sdl_canvas.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

Game busyScene() {
    Game g = bossFight(9);
    playScripted(g, 1500, Aim::BossFight);
    Scene& s = g.scene;
    Label6_Click(g);  // the credits, wrapped in the panel
    s.Label1.Caption = "WARNING - SHIELD LOW !!";
    s.Label1.Visible = true;
    s.Label3.Visible = true;  // the banner, as at the end
    s.Label3.ForeColor = 0x0000FF00;
    // Every shot slot in flight, spread over the playfield.
    for (size_t i = 0; i < s.fire.size(); ++i) {
        s.fire[i].Visible = true;
        s.fire[i].Left = 600 + 700 * static_cast<float>(i);
        s.fire[i].Top = 2000 + 400 * static_cast<float>(i % 6);
    }
    for (Sprite& shot : s.enemyfire) shot.Visible = true;
    s.energy.Top = 1200;
    s.bossenergy.Top = -600;
    return g;
}

// SDL's software renderer on a window-sized surface, with the scene's fonts,
// as the game draws without a graphics device.
class SoftwareTarget {
public:
    explicit SoftwareTarget(Scene& scene) {
        if (TTF_Init() != 0) {
            why_ = "no font renderer";
            return;
        }
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, draw::kWindowWidth, draw::kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer_ = surface_ ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
        fonts_ = std::make_unique<draw::FontCache>();
        if (!renderer_) why_ = "no software renderer";
        else if (!fonts_->openSceneFonts(scene).empty()) why_ = "no font for the scene";
        else canvas_ = std::make_unique<draw::SdlCanvas>(renderer_, *fonts_, draw::embeddedPictures());
    }
    ~SoftwareTarget() {
        canvas_.reset();
        fonts_.reset();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (surface_) SDL_FreeSurface(surface_);
        TTF_Quit();
    }
    // Why nothing can be drawn; nullptr when all is well.
    const char* failed() const { return canvas_ ? nullptr : why_; }
    draw::Canvas& canvas() { return *canvas_; }
    SDL_Renderer* renderer() { return renderer_; }
    SDL_Surface* surface() { return surface_; }

private:
    const char* why_ = "";
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::unique_ptr<draw::FontCache> fonts_;
    std::unique_ptr<draw::SdlCanvas> canvas_;
};

void BM_DrawBusyFrame_Software(benchmark::State& state) {
    Game g = busyScene();
    SoftwareTarget target(g.scene);
    if (target.failed()) return state.SkipWithError(target.failed());
    draw::Painter painter(target.canvas());
    painter.draw(g.scene);  // pictures decoded and texts rendered once, as in the game
    // HVEZDA_BENCH_FRAME_PNG=FILE saves the measured frame, to see what is drawn.
    if (const char* file = std::getenv("HVEZDA_BENCH_FRAME_PNG")) IMG_SavePNG(target.surface(), file);
    for (auto _ : state) {
        painter.draw(g.scene);
        SDL_RenderPresent(target.renderer());
        benchmark::DoNotOptimize(target.surface()->pixels);
    }
}

// The frames of scripted play, as the game draws them without a graphics
// device: after each 10 ms step whose picture differs from the last frame,
// either a whole frame, or only the damage since the last frame (every
// element marked, compared, the damaged rectangles drawn again). One
// iteration is one frame drawn, with the steps before it.
void drawPlay(benchmark::State& state, Game g, Aim keep, bool inPart) {
    SoftwareTarget target(g.scene);
    if (target.failed()) return state.SkipWithError(target.failed());
    draw::Painter painter(target.canvas());
    draw::Damage damage(target.canvas());
    painter.draw(g.scene);
    damage.next(g.scene);
    int64_t pixels = 0;
    for (auto _ : state) {
        const std::vector<draw::Rect>* rects = nullptr;
        do {
            playScripted(g, 10, keep);
            rects = &damage.next(g.scene);
        } while (rects->empty());
        if (inPart) {
            for (const draw::Rect& r : *rects) {
                damage.redraw(r);
                pixels += int64_t{r.w} * r.h;
            }
        } else {
            painter.draw(g.scene);
            pixels += int64_t{draw::kWindowWidth} * draw::kWindowHeight;
        }
        SDL_RenderFlush(target.renderer());
        benchmark::DoNotOptimize(target.surface()->pixels);
    }
    state.counters["pixels"] = static_cast<double>(pixels) / static_cast<double>(state.iterations());
}

void BM_NormalPlayFrames_Whole(benchmark::State& state) { drawPlay(state, normalPlay(9), Aim::NormalPlay, false); }
void BM_NormalPlayFrames_InPart(benchmark::State& state) { drawPlay(state, normalPlay(9), Aim::NormalPlay, true); }
void BM_BossFightFrames_Whole(benchmark::State& state) { drawPlay(state, bossFight(9), Aim::BossFight, false); }
void BM_BossFightFrames_InPart(benchmark::State& state) { drawPlay(state, bossFight(9), Aim::BossFight, true); }

}  // namespace

BENCHMARK(BM_DrawBusyFrame_Software)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NormalPlayFrames_Whole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NormalPlayFrames_InPart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BossFightFrames_Whole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BossFightFrames_InPart)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
