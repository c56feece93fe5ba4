// The driver's screenshots: the scene drawn by the game's own drawing code
// into a 667 x 570 PNG with a software renderer. No window, no display.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <memory>

#include "platform/sdl_canvas.h"
#include "sim/screenshot_hook.h"

using namespace hvezda;

namespace {

struct Screenshots {
    std::unique_ptr<plat::FontCache> fonts;
    std::string fontError;

    Screenshots() {
        if (TTF_Init() != 0) {
            fontError = std::string("cannot start the font renderer: ") + TTF_GetError();
            return;
        }
        fonts = std::make_unique<plat::FontCache>();
    }
    ~Screenshots() {
        if (!fonts) return;
        fonts.reset();
        TTF_Quit();
        plat::releaseFontLookup();
    }

    std::string shoot(Scene& scene, const std::string& file) {
        if (!fonts) return fontError;
        if (std::string why = fonts->openSceneFonts(scene); !why.empty()) return why;
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, plat::kWindowWidth, plat::kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!surface) return std::string("cannot make a picture to draw on: ") + SDL_GetError();
        std::string error;
        if (SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface)) {
            {
                plat::SdlCanvas canvas(renderer, *fonts, plat::embeddedPictures());
                plat::Painter(canvas).draw(scene);
            }
            SDL_RenderPresent(renderer);
            SDL_DestroyRenderer(renderer);
            if (IMG_SavePNG(surface, file.c_str()) != 0) error = "cannot write " + file + ": " + IMG_GetError();
        } else {
            error = std::string("cannot draw: ") + SDL_GetError();
        }
        SDL_FreeSurface(surface);
        return error;
    }
};

}  // namespace

std::function<std::string(Scene&, const std::string& file)> simScreenshotHook() {
    return [](Scene& scene, const std::string& file) {
        static Screenshots shots;
        return shots.shoot(scene, file);
    };
}
