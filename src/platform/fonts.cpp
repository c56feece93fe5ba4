// SPDX-License-Identifier: MIT
#include "platform/fonts.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include "platform/geometry.h"

using namespace hvezda;

namespace plat {

namespace {

std::optional<FontFile> matchFont(const std::string& name) {
    if (!FcInit()) return std::nullopt;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!pattern) return std::nullopt;
    // Czech captions need their diacritics, and SDL_ttf draws only outlines.
    FcLangSet* langs = FcLangSetCreate();
    FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("cs"));
    FcPatternAddLangSet(pattern, FC_LANG, langs);
    FcLangSetDestroy(langs);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;
    std::optional<FontFile> found;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file && *file) {
        FontFile f;
        f.path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) f.index = index;
        FcChar8* fam = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
            f.family = reinterpret_cast<const char*>(fam);
        found = std::move(f);
    }
    FcPatternDestroy(match);
    return found;
}

}  // namespace

std::optional<FontFile> findFontFile(std::string_view family) {
    // FcFontMatch answers with its best substitute when the family is missing,
    // so the preferred family counts only when that is what it gave, and the
    // generic family is only the last resort for an odd configuration.
    if (auto f = matchFont(std::string(kPreferredFamily)); f && f->family == kPreferredFamily) return f;
    if (auto f = matchFont(std::string(family))) return f;
    return matchFont("sans-serif");
}

void releaseFontLookup() { FcFini(); }

FontCache::~FontCache() {
    for (auto& [key, opened] : open_)
        if (opened.font) TTF_CloseFont(opened.font);
}

const FontCache::Opened& FontCache::open(const Font& font) {
    const int size = fontPixels(font.size);
    const std::pair<std::string, int> key{std::string(font.name), size};
    if (auto it = open_.find(key); it != open_.end()) return it->second;
    auto fileIt = files_.find(font.name);
    if (fileIt == files_.end()) fileIt = files_.emplace(std::string(font.name), findFontFile(font.name)).first;
    Opened opened;
    if (const std::optional<FontFile>& file = fileIt->second) {
        // TTF sizes are points at 72 DPI, so the pixel size goes in as is.
        opened.font = TTF_OpenFontIndex(file->path.c_str(), size, file->index);
        // The font's own hinting: at 8 pt it puts each accent on rows of its own.
        if (opened.font) TTF_SetFontHinting(opened.font, TTF_HINTING_NORMAL);
        opened.crisp = size <= kCrispPixels && file->family == kPreferredFamily;
    }
    return open_.emplace(key, opened).first->second;
}

TTF_Font* FontCache::get(const Font& font) { return open(font).font; }

SDL_Surface* FontCache::renderWhite(const Font& font, const std::string& text) {
    const Opened& opened = open(font);
    if (!opened.font) return nullptr;
    const SDL_Color white{255, 255, 255, 255};
    // Grey edges at 8 pt smear a two-pixel accent into its neighbours; one
    // bit deep, every pixel stays where the hinting put it.
    return opened.crisp ? TTF_RenderUTF8_Solid(opened.font, text.c_str(), white)
                        : TTF_RenderUTF8_Blended(opened.font, text.c_str(), white);
}

std::string FontCache::openSceneFonts(Scene& scene) {
    for (const ElementRef& e : catalogue(scene)) {
        if (e.kind() != Kind::Label) continue;
        const Label& l = *std::get<Label*>(e.ptr);
        if (get(l.font)) continue;
        std::string why = "no usable font for \"" + std::string(l.font.name) + "\"";
        if (auto file = findFontFile(l.font.name))
            why += " (" + file->path + ": " + TTF_GetError() + ")";
        else
            why += " (fontconfig knows no scalable font)";
        return why;
    }
    return {};
}

}  // namespace plat
