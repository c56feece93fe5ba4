// SPDX-License-Identifier: MIT
#include "platform/daily_badge.h"

#include <SDL.h>
#include <SDL_ttf.h>

namespace plat {

namespace {

constexpr SDL_Color kGreen{0, 255, 0, 255};  // the panel labels' green
constexpr int kLeft = 14, kTop = 16;          // left of the title picture, inside the panel

// Draws one line; returns its height (0 when nothing was drawn).
int line(SDL_Renderer* r, TTF_Font* font, const std::string& text, int x, int y) {
    if (!font) return 0;
    SDL_Surface* surface = TTF_RenderUTF8_Blended(font, text.c_str(), kGreen);
    if (!surface) return 0;
    if (SDL_Texture* t = SDL_CreateTextureFromSurface(r, surface)) {
        const SDL_Rect at{x, y, surface->w, surface->h};
        SDL_RenderCopy(r, t, nullptr, &at);
        SDL_DestroyTexture(t);
    }
    const int h = surface->h;
    SDL_FreeSurface(surface);
    return h;
}

}  // namespace

std::string czechDate(const std::string& iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return iso;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (iso[i] < '0' || iso[i] > '9') return iso;
    auto number = [&](size_t at) { return std::to_string(std::stoi(iso.substr(at, 2))); };
    return number(8) + ". " + number(5) + ". " + iso.substr(0, 4);
}

void drawDailyBadge(SDL_Renderer* r, FontCache& fonts, const std::string& isoDate) {
    TTF_Font* bold = fonts.get(hvezda::Font{"MS Sans Serif", 10, 700, 238});
    TTF_Font* plain = fonts.get(hvezda::Font{"MS Sans Serif", 8, 400, 238});
    const int h = line(r, bold, "DENNÍ LET", kLeft, kTop);
    line(r, plain, czechDate(isoDate), kLeft, kTop + h + 2);
    line(r, plain, "stejný pro všechny", kLeft, kTop + 2 * h + 2);
}

}  // namespace plat
