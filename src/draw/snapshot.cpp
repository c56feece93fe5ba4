// SPDX-License-Identifier: MIT
#include "draw/snapshot.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>

#include "base/files.h"
#include "draw/sdl_canvas.h"

using namespace hvezda;

namespace draw {

std::string saveScenePng(Scene& scene, FontCache& fonts, const std::string& file) {
    if (std::string why = fonts.openSceneFonts(scene); !why.empty()) return why;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kWindowWidth, kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return std::string("cannot make a picture to draw on: ") + SDL_GetError();
    std::string error;
    if (SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface)) {
        {
            SdlCanvas canvas(renderer, fonts, embeddedPictures());
            Painter(canvas).draw(scene);
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

std::string screenshotFile(const std::string& folder, std::time_t when) {
    char stamp[32];
    std::tm local{};
    localtime_r(&when, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string stem = folder + base::kPathSeparator + "hvezda-" + stamp;
    std::string file = stem + ".png";
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(base::pathFromUtf8(file), ec); ++n) file = stem + "-" + std::to_string(n) + ".png";
    return file;
}

std::string takeScreenshot(Scene& scene, FontCache& fonts, const std::string& folder, std::time_t when) {
    const std::string file = screenshotFile(folder, when);
    const std::string why = saveScenePng(scene, fonts, file);
    return why.empty() ? "screenshot saved to " + file : "no screenshot: " + why;
}

}  // namespace draw
