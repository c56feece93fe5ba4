// SPDX-License-Identifier: MIT
#include "platform/frames.h"

#include <SDL.h>

#include <algorithm>
#include <array>

using namespace hvezda;

namespace platform {

namespace {

// Where more than half the window changed, a whole frame is drawn: SDL
// fills and copies whole rows several times faster per pixel than the short
// rows of many rectangles.
constexpr int64_t kMostPartialPixels = int64_t{kWindowWidth} * kWindowHeight / 2;

}  // namespace

Frames::Frames(SDL_Renderer* renderer, Painter& painter, bool vsync)
    : renderer_(renderer), painter_(painter), damage_(painter.canvas()) {
    // SDL's software renderer draws into the window's own surface, which
    // keeps its pixels from frame to frame and can be sent in parts. Other
    // renderers draw into buffers whose contents after a present are undefined.
    SDL_RendererInfo info{};
    inPart_ = !vsync && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) &&
              SDL_RenderGetWindow(renderer) != nullptr;
}

Frames::Output Frames::output() const {
    Output o;
    SDL_GetRendererOutputSize(renderer_, &o.w, &o.h);
    SDL_RenderGetScale(renderer_, &o.scaleX, &o.scaleY);
    SDL_RenderLogicalToWindow(renderer_, 0, 0, &o.x, &o.y);
    return o;
}

bool Frames::present(Scene& scene, bool force) {
    // A new size or scale leaves nothing of the old frame where it was.
    if (const Output now = output(); !(now == output_)) {
        output_ = now;
        force = true;
    }
    if (force) damage_.forget();
    const bool whole = !damage_.knowsScreen() || !inPart_;
    const std::vector<Rect>& rects = damage_.next(scene);
    if (rects.empty()) {
        ++skipped_;
        return false;
    }
    int64_t pixels = 0;
    for (const Rect& r : rects) pixels += int64_t{r.w} * r.h;
    ++presented_;
    if (!whole && pixels <= kMostPartialPixels) {
        for (const Rect& r : rects) {
            damage_.redraw(r);
            if (!overlay_) continue;
            const SDL_Rect clip{r.x, r.y, r.w, r.h};
            SDL_RenderSetClipRect(renderer_, &clip);
            overlay_();
            SDL_RenderSetClipRect(renderer_, nullptr);
        }
        if (sendInPart(rects)) {
            ++partial_;
            return true;
        }
    }
    painter_.draw(scene);
    if (overlay_) overlay_();
    SDL_RenderPresent(renderer_);
    return true;
}

bool Frames::sendInPart(const std::vector<Rect>& rects) {
    if (SDL_RenderFlush(renderer_) != 0) return false;
    std::array<SDL_Rect, Damage::kMostRects> out;
    const size_t n = std::min(rects.size(), out.size());
    for (size_t i = 0; i < n; ++i) {
        // The logical rectangle's corners in window pixels, a pixel wider each
        // way against rounding: the window's surface holds the whole frame,
        // so sending a little more shows nothing wrong.
        const Rect& r = rects[i];
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        SDL_RenderLogicalToWindow(renderer_, static_cast<float>(r.x), static_cast<float>(r.y), &x0, &y0);
        SDL_RenderLogicalToWindow(renderer_, static_cast<float>(r.x + r.w), static_cast<float>(r.y + r.h), &x1, &y1);
        x0 = std::max(x0 - 1, 0), y0 = std::max(y0 - 1, 0);
        x1 = std::min(x1 + 1, output_.w), y1 = std::min(y1 + 1, output_.h);
        out[i] = SDL_Rect{x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
    }
    SDL_Window* window = SDL_RenderGetWindow(renderer_);
    if (window && send_) return send_(window, out.data(), static_cast<int>(n));
    return window && SDL_UpdateWindowSurfaceRects(window, out.data(), static_cast<int>(n)) == 0;
}

}  // namespace platform
