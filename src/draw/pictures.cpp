// SPDX-License-Identifier: MIT
#include "draw/pictures.h"

#include <SDL.h>
#include <SDL_image.h>

using namespace hvezda;

namespace draw {

SDL_Surface* decodePicture(std::span<const uint8_t> file) {
    if (file.empty()) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (!rw) return nullptr;
    return IMG_Load_RW(rw, 1);
}

PictureCache::PictureCache(SDL_Renderer* renderer, PictureSource source)
    : renderer_(renderer), source_(std::move(source)) {}

PictureCache::~PictureCache() {
    for (auto& [name, tex] : textures_)
        if (tex) SDL_DestroyTexture(tex);
}

SDL_Texture* PictureCache::texture(const Picture& picture) {
    if (auto it = textures_.find(picture.name); it != textures_.end()) return it->second;
    SDL_Texture* tex = nullptr;
    if (source_.bytes) {
        if (SDL_Surface* surface = decodePicture(source_.bytes(picture.name))) {
            // Pixel art scaled by whole factors stays crisp with nearest sampling,
            // which SDL reads when the texture is made.
            SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
            tex = SDL_CreateTextureFromSurface(renderer_, surface);
            SDL_FreeSurface(surface);
        }
    }
    textures_.emplace(std::string(picture.name), tex);
    return tex;
}

}  // namespace draw
