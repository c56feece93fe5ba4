// SPDX-License-Identifier: MIT
// Fonts: the game names "MS Sans Serif". Its texts are drawn in Liberation
// Sans when fontconfig has it, else in whatever fontconfig offers for the
// game's name (the best sans-serif it has for Czech text). On Windows they are
// drawn in Microsoft Sans Serif from the Windows fonts folder, else in Tahoma,
// Segoe UI or Arial from there, else in whatever font Windows itself draws
// Microsoft Sans Serif with (under Wine, a font of the host system).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scene/scene.h"

struct SDL_Surface;
typedef struct _TTF_Font TTF_Font;

namespace draw {

struct FontFile {
    std::string path;
    int index = 0;       // face within the file
    std::string family;  // what fontconfig actually gave
    // The font itself when the system handed it over instead of a file
    // (Windows, for a font outside its fonts folder); `path` then names it.
    std::shared_ptr<const std::vector<char>> bytes;
};

// Hinted for the screen, its capitals keep an acute accent clear of the
// letter and slanted even at 8 pt, drawn one bit deep: Á and Í never read as
// a flat bar over the letter.
inline constexpr std::string_view kPreferredFamily = "Liberation Sans";
// Type up to this size (8 pt) in the preferred family is drawn without grey
// edges; larger type and any other family stay smooth.
inline constexpr int kCrispPixels = 11;

// The font to draw `family` with: the preferred family when installed, else
// the installed font fontconfig would use for `family` (scalable, with Czech
// glyphs) or its substitute; nothing when fontconfig knows no usable font.
// On Windows as said at the top.
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
    TTF_Font* get(const hvezda::Font& font);
    // `text` in white, to be tinted when drawn: crisp or smooth as the font
    // wants (see kCrispPixels). The caller frees it; nullptr without a font.
    SDL_Surface* renderWhite(const hvezda::Font& font, const std::string& text);
    // Opens the fonts the scene uses; an error text naming what is missing, or
    // empty when every one of them opened.
    std::string openSceneFonts(hvezda::Scene& scene);

private:
    struct Opened {
        TTF_Font* font = nullptr;
        bool crisp = false;
    };
    const Opened& open(const hvezda::Font& font);

    std::map<std::pair<std::string, int>, Opened> open_;
    std::map<std::string, std::optional<FontFile>, std::less<>> files_;
};

}  // namespace draw
