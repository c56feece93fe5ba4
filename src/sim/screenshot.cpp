// SPDX-License-Identifier: MIT
// The driver's screenshots: the scene drawn by the game's own drawing code
// into a 667 x 570 PNG, exactly as the game's F12 key draws it.
#include <SDL_ttf.h>

#include <memory>

#include "draw/snapshot.h"
#include "sim/screenshot_hook.h"

using namespace hvezda;

namespace {

struct Screenshots {
    std::unique_ptr<draw::FontCache> fonts;
    std::string fontError;

    Screenshots() {
        if (TTF_Init() != 0) {
            fontError = std::string("cannot start the font renderer: ") + TTF_GetError();
            return;
        }
        fonts = std::make_unique<draw::FontCache>();
    }
    ~Screenshots() {
        if (!fonts) return;
        fonts.reset();
        TTF_Quit();
        draw::releaseFontLookup();
    }

    std::string shoot(Scene& scene, const std::string& file) {
        if (!fonts) return fontError;
        return draw::saveScenePng(scene, *fonts, file);
    }
};

}  // namespace

std::function<std::string(Scene&, const std::string& file)> driver::simScreenshotHook() {
    return [](Scene& scene, const std::string& file) {
        static Screenshots shots;
        return shots.shoot(scene, file);
    };
}
