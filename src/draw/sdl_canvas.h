// SPDX-License-Identifier: MIT
// The canvas of an SDL renderer: the game window's, or a software renderer on
// a surface for screenshots without a display.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "draw/draw.h"
#include "draw/fonts.h"
#include "draw/pictures.h"

#include <SDL_rect.h>

struct SDL_Renderer;
struct SDL_Texture;

namespace draw {

class SdlCanvas final : public Canvas {
public:
    // `fonts` must outlive the canvas; textures belong to `renderer`.
    SdlCanvas(SDL_Renderer* renderer, FontCache& fonts, PictureSource pictures);
    SdlCanvas(const SdlCanvas&) = delete;
    SdlCanvas& operator=(const SdlCanvas&) = delete;
    ~SdlCanvas() override;

    void clear(Rgb c) override;
    void fill(const Rect& r, Rgb c) override;
    void picture(const hvezda::Picture& p, int x, int y, const Rect& clip) override;
    void points(std::span<const Point> at, Rgb c) override;
    void line(Point from, Point to, Rgb c, const Rect& clip) override;
    void text(const hvezda::Font& font, const std::string& text, Rgb color, int x, int y, const Rect& clip) override;
    std::optional<FontMetrics> fontMetrics(const hvezda::Font& font) override;
    int textWidth(const hvezda::Font& font, std::string_view text) override;

private:
    struct TextTexture {
        SDL_Texture* texture = nullptr;
        int w = 0, h = 0;
    };
    const TextTexture* textTexture(const hvezda::Font& font, const std::string& text);
    void drawPoints(Rgb c);

    SDL_Renderer* renderer_;
    FontCache& fonts_;
    PictureCache pictures_;
    std::map<std::tuple<std::string, int, std::string>, TextTexture> texts_;
    std::vector<SDL_Point> points_;
};

}  // namespace draw
