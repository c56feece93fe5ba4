// Fonts: the game names "MS Sans Serif"; fontconfig finds it, or the best
// sans-serif it has for Czech text when it is not installed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "scene/scene.h"

typedef struct _TTF_Font TTF_Font;

namespace plat {

struct FontFile {
    std::string path;
    int index = 0;       // face within the file
    std::string family;  // what fontconfig actually gave
};

// The installed font fontconfig would use for `family` (scalable, with Czech
// glyphs); a substitute when that family is missing; nothing when fontconfig
// knows no usable font at all.
std::optional<FontFile> findFontFile(std::string_view family);

// Frees fontconfig's configuration and caches once no lookup is needed any
// more (at exit), so leak checkers see a clean end. A later lookup starts over.
void releaseFontLookup();

// Opens each font once, at its size in pixels at 96 DPI, and keeps it.
// Needs TTF_Init to have been called.
class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache();

    // nullptr when no font can be opened for it.
    TTF_Font* get(const Font& font);
    // Opens the fonts the scene uses; an error text naming what is missing, or
    // empty when every one of them opened.
    std::string openSceneFonts(Scene& scene);

private:
    std::map<std::pair<std::string, int>, TTF_Font*> open_;
    std::map<std::string, std::optional<FontFile>, std::less<>> files_;
};

}  // namespace plat
