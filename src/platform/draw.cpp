#include "platform/draw.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdlib>

#include "platform/text_wrap.h"

using namespace hvezda;

namespace plat {

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

Painter::Painter(SDL_Renderer* renderer, FontCache& fonts, PictureSource pictures)
    : renderer_(renderer), fonts_(fonts), pictures_(renderer, std::move(pictures)) {}

Painter::~Painter() {
    for (auto& [key, t] : texts_)
        if (t.texture) SDL_DestroyTexture(t.texture);
}

void Painter::fill(const Rect& r, Rgb c) {
    if (r.empty()) return;
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    const SDL_Rect sr{r.x, r.y, r.w, r.h};
    SDL_RenderFillRect(renderer_, &sr);
}

void Painter::draw(Scene& scene) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    for (const ElementRef& e : drawingOrder(scene)) {
        switch (e.kind()) {
            case Kind::Sprite: {
                const Sprite& s = *std::get<Sprite*>(e.ptr);
                drawSprite(s, kWindowRect);
                if (&s != &scene.Picture2 || !s.Visible) break;
                // The panel's children, on it and clipped to it.
                const PanelFrame panel = panelFrame(s);
                for (const ElementRef& c : panelDrawingOrder(scene)) {
                    switch (c.kind()) {
                        case Kind::Label: drawLabel(*std::get<Label*>(c.ptr), panel.originX, panel.originY, panel.clip); break;
                        case Kind::Image: drawImage(*std::get<Image*>(c.ptr), panel.originX, panel.originY, panel.clip); break;
                        case Kind::Line: drawLine(*std::get<Line*>(c.ptr), panel.originX, panel.originY, panel.clip); break;
                        default: break;
                    }
                }
                break;
            }
            case Kind::Label: drawLabel(*std::get<Label*>(e.ptr), 0, 0, kWindowRect); break;
            case Kind::Image: drawImage(*std::get<Image*>(e.ptr), 0, 0, kWindowRect); break;
            case Kind::Line: drawLine(*std::get<Line*>(e.ptr), 0, 0, kWindowRect); break;
            case Kind::Star: drawStar(*std::get<Star*>(e.ptr), kWindowRect); break;
            default: break;
        }
    }
}

void Painter::drawSprite(const Sprite& s, const Rect& clip) {
    if (!s.Visible) return;
    const Rect box = pixelBox(s);
    const Rect visible = intersect(box, clip);
    if (visible.empty()) return;
    fill(visible, resolveColor(s.BackColor));
    const int frame = s.border ? 1 : 0;
    if (s.border) {
        const Rgb fc = resolveColor(kFrameColor);
        fill(intersect(Rect{box.x, box.y, box.w, 1}, clip), fc);
        fill(intersect(Rect{box.x, box.y + box.h - 1, box.w, 1}, clip), fc);
        fill(intersect(Rect{box.x, box.y, 1, box.h}, clip), fc);
        fill(intersect(Rect{box.x + box.w - 1, box.y, 1, box.h}, clip), fc);
    }
    if (!s.picture) return;
    const Rect inside{box.x + frame, box.y + frame, box.w - 2 * frame, box.h - 2 * frame};
    drawPicture(*s.picture, inside.x, inside.y, intersect(inside, clip));
}

void Painter::drawPicture(const Picture& p, int x, int y, const Rect& clip) {
    if (clip.empty()) return;
    if (SDL_Texture* tex = pictures_.texture(p)) {
        int w = 0, h = 0;
        SDL_QueryTexture(tex, nullptr, nullptr, &w, &h);
        copyClipped(renderer_, tex, w, h, x, y, clip);
    } else {
        fill(intersect(Rect{x, y, p.width, p.height}, clip), resolveColor(kMissingPictureColor));
    }
}

void Painter::drawImage(const Image& i, int ox, int oy, const Rect& clip) {
    if (!i.Visible || !i.picture) return;
    drawPicture(*i.picture, ox + px(i.Left), oy + px(i.Top), clip);
}

void Painter::drawLine(const Line& l, int ox, int oy, const Rect& clip) {
    if (!l.Visible) return;
    // One pixel wide, from the first point up to but not including the last,
    // as the desktop draws its lines.
    int x0 = ox + px(l.X1), y0 = oy + px(l.Y1);
    const int x1 = ox + px(l.X2), y1 = oy + px(l.Y2);
    const Rgb c = resolveColor(l.color);
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

void Painter::drawPoints(Rgb c) {
    if (points_.empty()) return;
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderDrawPoints(renderer_, points_.data(), static_cast<int>(points_.size()));
}

void Painter::drawStar(const Star& s, const Rect& clip) {
    if (!s.Visible) return;
    const int x = px(s.Left), y = px(s.Top);
    const int d = std::max(1, px(s.diameter));
    const double r = d / 2.0;
    points_.clear();
    for (int j = 0; j < d; ++j) {
        for (int i = 0; i < d; ++i) {
            const double cx = i + 0.5 - r, cy = j + 0.5 - r;
            if (cx * cx + cy * cy <= r * r && clip.contains(x + i, y + j)) points_.push_back(SDL_Point{x + i, y + j});
        }
    }
    drawPoints(resolveColor(s.color));
}

const Painter::TextTexture* Painter::textTexture(const Font& font, const std::string& text) {
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

std::pair<int, int> Painter::textSize(const Font& font, const std::string& text) {
    TTF_Font* f = fonts_.get(font);
    if (!f) return {0, 0};
    int w = 0, h = 0;
    if (!text.empty()) TTF_SizeUTF8(f, text.c_str(), &w, &h);
    return {w, TTF_FontHeight(f)};
}

void Painter::drawText(const Font& font, const std::string& text, Rgb color, int x, int y, const Rect& clip) {
    const TextTexture* t = textTexture(font, text);
    if (!t || !t->texture) return;
    SDL_SetTextureColorMod(t->texture, color.r, color.g, color.b);
    copyClipped(renderer_, t->texture, t->w, t->h, x, y, clip);
}

void Painter::drawLabel(const Label& l, int ox, int oy, const Rect& clip) {
    if (!l.Visible) return;
    Rect box{ox + px(l.Left), oy + px(l.Top), px(l.Width), px(l.Height)};
    if (l.autoSize) {
        const auto [w, h] = textSize(l.font, l.Caption);
        box.w = w;
        box.h = h;
    }
    const Rect visible = intersect(box, clip);
    if (visible.empty()) return;
    if (!l.transparent) fill(visible, resolveColor(l.BackColor));
    const Rgb fore = resolveColor(l.ForeColor);
    if (!l.wordWrap) {
        drawText(l.font, l.Caption, fore, box.x, box.y, visible);
        return;
    }
    TTF_Font* f = fonts_.get(l.font);
    if (!f) return;
    const int skip = TTF_FontLineSkip(f);
    int y = box.y;
    for (const std::string& line : wrapped(f, l.Caption, box.w)) {
        if (y >= visible.y + visible.h) break;
        drawText(l.font, line, fore, box.x, y, visible);
        y += skip;
    }
}

const std::vector<std::string>& Painter::wrapped(TTF_Font* f, const std::string& text, int width) {
    // Measuring every candidate line is slow; a caption rarely changes.
    if (wrap_.font != f || wrap_.text != text || wrap_.width != width) {
        const MeasureText measure = [f](std::string_view s) {
            int w = 0, h = 0;
            TTF_SizeUTF8(f, std::string(s).c_str(), &w, &h);
            return w;
        };
        wrap_.font = f;
        wrap_.text = text;
        wrap_.width = width;
        wrap_.lines = wrapText(text, width, measure);
    }
    return wrap_.lines;
}

}  // namespace plat
