// SPDX-License-Identifier: MIT
// Drawing one frame of a busy scene with the software renderer into a
// surface: the boss fight with shots in the air, the warning on the status
// line, the credits in the panel, every star and both gauges.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "play.h"
#include "platform/sdl_canvas.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

Game busyScene() {
    Game g = bossFight(9);
    playScripted(g, 1500, Keep::BossFight);
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

void BM_DrawBusyFrame_Software(benchmark::State& state) {
    if (TTF_Init() != 0) {
        state.SkipWithError("no font renderer");
        return;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, plat::kWindowWidth, plat::kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (!renderer) {
        state.SkipWithError("no software renderer");
        return;
    }
    Game g = busyScene();
    {
        plat::FontCache fonts;
        if (!fonts.openSceneFonts(g.scene).empty()) {
            state.SkipWithError("no font for the scene");
            return;
        }
        plat::SdlCanvas canvas(renderer, fonts, plat::embeddedPictures());
        plat::Painter painter(canvas);
        painter.draw(g.scene);  // pictures decoded and texts rendered once, as in the game
        // HVEZDA_BENCH_FRAME_PNG=FILE saves the measured frame, to see what is drawn.
        if (const char* file = std::getenv("HVEZDA_BENCH_FRAME_PNG")) IMG_SavePNG(surface, file);
        for (auto _ : state) {
            painter.draw(g.scene);
            SDL_RenderPresent(renderer);
            benchmark::DoNotOptimize(surface->pixels);
        }
    }
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    TTF_Quit();
}

}  // namespace

BENCHMARK(BM_DrawBusyFrame_Software)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
