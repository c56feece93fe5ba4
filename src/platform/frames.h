// SPDX-License-Identifier: MIT
// Showing frames in the window: a frame that would look exactly like the one
// on screen is not drawn again, and where SDL draws in software straight into
// the window only the rectangles that changed are drawn and sent.
#pragma once

#include <cstdint>
#include <functional>

#include "draw/damage.h"
#include "draw/draw.h"

struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Window;

namespace platform {

using namespace ::draw;

class Frames {
public:
    // The painter's canvas must draw on `renderer`. With `vsync` every
    // present waits for the display's refresh, which SDL does only for a
    // whole frame: every frame is then drawn and shown whole. (Its software
    // renderer cannot wait; where the game paces the frames itself, pass false.)
    Frames(SDL_Renderer* renderer, Painter& painter, bool vsync = false);

    // Draws and presents the scene unless nothing visible changed since the
    // last frame; `force` draws and sends the whole frame (the desktop lost
    // the window's contents). True when a frame was presented.
    bool present(hvezda::Scene& scene, bool force);
    // Drawn over every frame after the scene (the pause); whoever changes
    // what it draws forces the next frame. Over a frame drawn in part it is
    // drawn inside each rectangle, clipped to it.
    void setOverlay(std::function<void()> overlay) { overlay_ = std::move(overlay); }

    // Sends the rectangles of a frame drawn in part (window pixels) from the
    // window's surface to the screen in place of SDL, which may send more
    // (a browser's page: SDL puts the whole frame on the canvas). False when
    // it could not: the frame is then drawn and sent whole.
    using Sender = std::function<bool(SDL_Window* window, const SDL_Rect* rects, int count)>;
    void setSender(Sender send) { send_ = std::move(send); }

    uint64_t presented() const { return presented_; }
    uint64_t skipped() const { return skipped_; }
    uint64_t partial() const { return partial_; }  // of those presented, drawn and sent in part
    bool drawsInPart() const { return inPart_; }

private:
    // Where the logical window lies in the renderer's output.
    struct Output {
        int w = 0, h = 0, x = 0, y = 0;
        float scaleX = 0, scaleY = 0;
        bool operator==(const Output&) const = default;
    };
    Output output() const;
    bool sendInPart(const std::vector<Rect>& rects);

    SDL_Renderer* renderer_;
    Painter& painter_;
    std::function<void()> overlay_;
    Sender send_;
    Damage damage_;
    bool inPart_ = false;
    Output output_;
    uint64_t presented_ = 0;
    uint64_t skipped_ = 0;
    uint64_t partial_ = 0;
};

}  // namespace platform
