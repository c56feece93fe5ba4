// SPDX-License-Identifier: MIT
#include "platform/snapshot.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

#include "platform/files.h"
#include "platform/sdl_canvas.h"
#include "shell/shell.h"

using namespace hvezda;

namespace plat {

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

std::string picturesFolder() {
#ifdef _WIN32
    std::string folder = ".";
    wchar_t* known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &known) == S_OK) folder = utf8FromPath(known);
    CoTaskMemFree(known);
    return folder;
#else
    for (const char* var : {"XDG_PICTURES_DIR", "HOME"})
        if (const char* dir = std::getenv(var); dir && *dir) return dir;
    return ".";
#endif
}

std::string screenshotFile(const std::string& folder, std::time_t when) {
    char stamp[32];
    std::tm local{};
    localtime_r(&when, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string base = folder + kPathSeparator + "hvezda-" + stamp;
    std::string file = base + ".png";
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(pathFromUtf8(file), ec); ++n) file = base + "-" + std::to_string(n) + ".png";
    return file;
}

std::string takeScreenshot(Scene& scene, FontCache& fonts, std::time_t when) {
    const std::string file = screenshotFile(picturesFolder(), when);
    const std::string why = saveScenePng(scene, fonts, file);
    return why.empty() ? "screenshot saved to " + file : "no screenshot: " + why;
}

}  // namespace plat
