// SPDX-License-Identifier: MIT
#include "platform/daily_badge.h"

#include <SDL.h>
#include <SDL_ttf.h>

namespace plat {

namespace {

constexpr SDL_Color kGreen{0, 255, 0, 255};  // the panel labels' green
// Right of the score, below the title, left of the panel's labels: nothing of
// the game is drawn there (the help text's box is at the other end).
constexpr int kRight = 582, kTop = 68;

}  // namespace

std::string czechDate(const std::string& iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return iso;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (iso[i] < '0' || iso[i] > '9') return iso;
    auto number = [&](size_t at) { return std::to_string(std::stoi(iso.substr(at, 2))); };
    return number(8) + ". " + number(5) + ". " + iso.substr(0, 4);
}

void drawDailyBadge(SDL_Renderer* r, FontCache& fonts, const std::string& isoDate) {
    TTF_Font* font = fonts.get(hvezda::Font{"MS Sans Serif", 8, 700, 238});
    if (!font) return;
    SDL_Surface* surface = TTF_RenderUTF8_Blended(font, ("DENNÍ LET " + czechDate(isoDate)).c_str(), kGreen);
    if (!surface) return;
    if (SDL_Texture* t = SDL_CreateTextureFromSurface(r, surface)) {
        const SDL_Rect at{kRight - surface->w, kTop, surface->w, surface->h};
        SDL_RenderCopy(r, t, nullptr, &at);
        SDL_DestroyTexture(t);
    }
    SDL_FreeSurface(surface);
}

}  // namespace plat
