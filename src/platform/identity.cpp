// SPDX-License-Identifier: MIT
#include "platform/identity.h"

#include <SDL.h>

#include <algorithm>

namespace platform {

void nameGameForDesktop() {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "hvezda", 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", "hvezda", 0);
    // The name sound servers show for the game's music.
    SDL_SetHint(SDL_HINT_APP_NAME, "Hvězda");
}

void setGameWindowIcon(SDL_Window* window, const PictureSource& pictures) {
    if (!pictures.bytes) return;
    SDL_Surface* decoded = decodePicture(pictures.bytes("ship"));
    if (!decoded) return;
    SDL_Surface* ship = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (!ship) return;
    const int side = std::max(ship->w, ship->h);
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, side, side, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon) {
        // The picture is drawn over black: a pixel's brightness says how much
        // of it is ship. Dim edge pixels become see-through, brighter ones solid.
        SDL_FillRect(icon, nullptr, 0);
        const int left = (side - ship->w) / 2, top = (side - ship->h) / 2;
        for (int y = 0; y < ship->h; ++y) {
            const auto* from = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(ship->pixels) + y * ship->pitch);
            auto* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + (top + y) * icon->pitch) + left;
            for (int x = 0; x < ship->w; ++x) {
                const Uint32 p = from[x];
                const Uint32 r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
                const Uint32 peak = std::max({r, g, b});
                const Uint32 alpha = std::min<Uint32>(255, peak * 4);
                if (alpha == 0) continue;
                auto straight = [alpha](Uint32 c) { return std::min<Uint32>(255, c * 255 / alpha); };
                to[x] = alpha << 24 | straight(r) << 16 | straight(g) << 8 | straight(b);
            }
        }
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
    SDL_FreeSurface(ship);
}

}  // namespace platform
