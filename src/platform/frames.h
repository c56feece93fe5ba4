// SPDX-License-Identifier: MIT
// Showing frames in the window: a frame that would look exactly like the one
// on screen is not drawn again.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/draw.h"

struct SDL_Renderer;

namespace plat {

class Frames {
public:
    Frames(SDL_Renderer* renderer, Painter& painter) : renderer_(renderer), painter_(painter) {}

    // Draws and presents the scene unless nothing visible changed since the
    // last frame; `force` draws anyway (the desktop lost the window's
    // contents). True when a frame was presented.
    bool present(hvezda::Scene& scene, bool force);
    // Drawn over every frame after the scene (the pause); whoever changes
    // what it draws forces the next frame.
    void setOverlay(std::function<void()> overlay) { overlay_ = std::move(overlay); }
    uint64_t presented() const { return presented_; }
    uint64_t skipped() const { return skipped_; }

private:
    SDL_Renderer* renderer_;
    Painter& painter_;
    std::function<void()> overlay_;
    uint64_t shown_ = 0;
    uint64_t presented_ = 0;
    uint64_t skipped_ = 0;
};

}  // namespace plat
