// SPDX-License-Identifier: MIT
#include "platform/pause_overlay.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include "draw/geometry.h"

namespace platform {

using namespace ::draw;

void drawPauseOverlay(SDL_Renderer* r, FontCache& fonts) {
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 160);
    const SDL_Rect all{0, 0, kWindowWidth, kWindowHeight};
    SDL_RenderFillRect(r, &all);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);

    TTF_Font* font = fonts.get(hvezda::Font{"MS Sans Serif", 24, 700, 238});
    if (!font) return;  // dimmed is paused enough
    SDL_Surface* text = TTF_RenderUTF8_Blended(font, "PAUZA", SDL_Color{255, 255, 255, 255});
    if (!text) return;
    if (SDL_Texture* t = SDL_CreateTextureFromSurface(r, text)) {
        const SDL_Rect at{(kWindowWidth - text->w) / 2, (kWindowHeight - text->h) / 2, text->w, text->h};
        SDL_RenderCopy(r, t, nullptr, &at);
        SDL_DestroyTexture(t);
    }
    SDL_FreeSurface(text);
}

}  // namespace platform
