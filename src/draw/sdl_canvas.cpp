// SPDX-License-Identifier: MIT
#include "draw/sdl_canvas.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdlib>

using namespace hvezda;

namespace draw {

namespace {

// Copies the part of a w x h source placed at (x, y) that lies inside clip.
void copyClipped(SDL_Renderer* r, SDL_Texture* tex, int w, int h, int x, int y, const Rect& clip) {
    const Rect dst = intersect(Rect{x, y, w, h}, clip);
    if (dst.empty()) return;
    const SDL_Rect s{dst.x - x, dst.y - y, dst.w, dst.h};
    const SDL_Rect d{dst.x, dst.y, dst.w, dst.h};
    SDL_RenderCopy(r, tex, &s, &d);
}

// Captions change often (the score, the blinking status line); beyond this
// many cached texts the cache starts again.
constexpr size_t kMaxCachedTexts = 256;

}  // namespace

SdlCanvas::SdlCanvas(SDL_Renderer* renderer, FontCache& fonts, PictureSource pictures)
    : renderer_(renderer), fonts_(fonts), pictures_(renderer, std::move(pictures)) {}

SdlCanvas::~SdlCanvas() {
    for (auto& [key, t] : texts_)
        if (t.texture) SDL_DestroyTexture(t.texture);
}

void SdlCanvas::clear(Rgb c) {
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderClear(renderer_);
}

void SdlCanvas::fill(const Rect& r, Rgb c) {
    if (r.empty()) return;
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    const SDL_Rect sr{r.x, r.y, r.w, r.h};
    SDL_RenderFillRect(renderer_, &sr);
}

void SdlCanvas::picture(const Picture& p, int x, int y, const Rect& clip) {
    if (SDL_Texture* tex = pictures_.texture(p)) {
        int w = 0, h = 0;
        SDL_QueryTexture(tex, nullptr, nullptr, &w, &h);
        copyClipped(renderer_, tex, w, h, x, y, clip);
    } else {
        fill(intersect(Rect{x, y, p.width, p.height}, clip), resolveColor(kMissingPictureColor));
    }
}

void SdlCanvas::points(std::span<const Point> at, Rgb c) {
    points_.clear();
    for (const Point& p : at) points_.push_back(SDL_Point{p.x, p.y});
    drawPoints(c);
}

void SdlCanvas::drawPoints(Rgb c) {
    if (points_.empty()) return;
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderDrawPoints(renderer_, points_.data(), static_cast<int>(points_.size()));
}

void SdlCanvas::line(Point from, Point to, Rgb c, const Rect& clip) {
    int x0 = from.x, y0 = from.y;
    const int x1 = to.x, y1 = to.y;
    if (y0 == y1 || x0 == x1) {  // the usual case, one rectangle
        const Rect r = y0 == y1 ? Rect{std::min(x0, x1 + 1), y0, std::abs(x1 - x0), 1}
                                : Rect{x0, std::min(y0, y1 + 1), 1, std::abs(y1 - y0)};
        fill(intersect(r, clip), c);
        return;
    }
    points_.clear();
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        if (clip.contains(x0, y0)) points_.push_back(SDL_Point{x0, y0});
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    drawPoints(c);
}

const SdlCanvas::TextTexture* SdlCanvas::textTexture(const Font& font, const std::string& text) {
    TTF_Font* f = fonts_.get(font);
    if (!f || text.empty()) return nullptr;
    auto key = std::make_tuple(std::string(font.name), fontPixels(font.size), text);
    if (auto it = texts_.find(key); it != texts_.end()) return &it->second;
    if (texts_.size() >= kMaxCachedTexts) {
        for (auto& [k, t] : texts_)
            if (t.texture) SDL_DestroyTexture(t.texture);
        texts_.clear();
    }
    // Rendered white once; each label's colour is applied when it is drawn.
    TextTexture t;
    if (SDL_Surface* surface = fonts_.renderWhite(font, text)) {
        t.texture = SDL_CreateTextureFromSurface(renderer_, surface);
        t.w = surface->w;
        t.h = surface->h;
        SDL_FreeSurface(surface);
        if (t.texture) SDL_SetTextureBlendMode(t.texture, SDL_BLENDMODE_BLEND);
    }
    return &texts_.emplace(std::move(key), t).first->second;
}

void SdlCanvas::text(const Font& font, const std::string& text, Rgb color, int x, int y, const Rect& clip) {
    const TextTexture* t = textTexture(font, text);
    if (!t || !t->texture) return;
    SDL_SetTextureColorMod(t->texture, color.r, color.g, color.b);
    copyClipped(renderer_, t->texture, t->w, t->h, x, y, clip);
}

std::optional<Canvas::FontMetrics> SdlCanvas::fontMetrics(const Font& font) {
    TTF_Font* f = fonts_.get(font);
    if (!f) return std::nullopt;
    return FontMetrics{TTF_FontHeight(f), TTF_FontLineSkip(f)};
}

int SdlCanvas::textWidth(const Font& font, std::string_view text) {
    TTF_Font* f = fonts_.get(font);
    if (!f) return 0;
    int w = 0, h = 0;
    TTF_SizeUTF8(f, std::string(text).c_str(), &w, &h);
    return w;
}

}  // namespace draw
