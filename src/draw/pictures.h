// SPDX-License-Identifier: MIT
// Pictures: the file bytes of each picture come from a source (the pictures
// embedded in the program, or none at all in a build without them); they are
// decoded once and kept as a texture per renderer.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "scene/picture.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;

namespace draw {

struct PictureSource {
    // The picture's file (BMP or JPEG) by its name; empty when there is none.
    std::function<std::span<const uint8_t>(std::string_view name)> bytes;
};

// The pictures built into the program; a source that has none when the build
// has no embedded pictures.
PictureSource embeddedPictures();

// Decodes a picture file from memory; nullptr when it is not a picture.
SDL_Surface* decodePicture(std::span<const uint8_t> file);

class PictureCache {
public:
    PictureCache(SDL_Renderer* renderer, PictureSource source);
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;
    ~PictureCache();

    // The picture's texture, or nullptr when the source lacks it or it does
    // not decode. A miss is remembered too: each picture is tried once.
    SDL_Texture* texture(const hvezda::Picture& picture);

private:
    SDL_Renderer* renderer_;
    PictureSource source_;
    std::map<std::string, SDL_Texture*, std::less<>> textures_;
};

}  // namespace draw
